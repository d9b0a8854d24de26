// The FTP sockets over POSIX sockets, for the host tools and tests.
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "ftp/ftp_socket.h"

namespace {
int fd(FtpSocket s) { return static_cast<int>(s); }

int nonBlocking(int f) { return fcntl(f, F_SETFL, fcntl(f, F_GETFL) | O_NONBLOCK); }

// Connect failures as Windows Sockets numbers, so that the messages match.
int connectError(int err) {
  if (err == ECONNREFUSED) return 10061;
  if (err == ETIMEDOUT) return 10060;
  return err;
}

int failure(int err) {
  if (err == EAGAIN || err == EWOULDBLOCK) return FTP_SOCK_WOULDBLOCK;
  if (err == ENETDOWN || err == ENETRESET || err == ECONNABORTED || err == ECONNRESET || err == ENOTCONN ||
      err == ESHUTDOWN || err == EPIPE || err == EBADF)
    return FTP_SOCK_HARD;
  return FTP_SOCK_SOFT;
}
}  // namespace

int ftpSockStartup() { return 0; }

uint32_t ftpSockResolve(const char* host) {
  in_addr a{};
  if (inet_aton(host, &a)) return a.s_addr;
  addrinfo hints{}, *found = nullptr;
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return 0;
  uint32_t ip = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return ip;
}

int ftpSockServicePort(const char* service, int fallback) {
  const servent* found = getservbyname(service, "tcp");
  return found ? ntohs(static_cast<uint16_t>(found->s_port)) : fallback;
}

int ftpSockConnect(uint32_t ipv4, int port, FtpSocket* out) {
  int f = socket(AF_INET, SOCK_STREAM, 0);
  if (f < 0) return -1;
  nonBlocking(f);
  int one = 1;
  setsockopt(f, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<uint16_t>(port));
  to.sin_addr.s_addr = ipv4;
  *out = f;
  if (connect(f, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) return 1;
  if (errno == EINPROGRESS) return 0;
  int err = connectError(errno);
  close(f);
  *out = FTP_NO_SOCKET;
  return -err;
}

int ftpSockConnectState(FtpSocket s) {
  pollfd p{fd(s), POLLOUT, 0};
  if (poll(&p, 1, 0) != 1) return 0;
  int err = 0;
  socklen_t len = sizeof err;
  getsockopt(fd(s), SOL_SOCKET, SO_ERROR, &err, &len);
  return err ? -connectError(err) : 1;
}

int ftpSockListen(uint32_t ipv4, FtpSocket* out) {
  int f = socket(AF_INET, SOCK_STREAM, 0);
  if (f < 0) return -1;
  nonBlocking(f);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = ipv4;
  if (bind(f, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 || listen(f, 1) != 0) {
    close(f);
    return -1;
  }
  *out = f;
  return 0;
}

int ftpSockAccept(FtpSocket listener, FtpSocket* out) {
  int f = accept(fd(listener), nullptr, nullptr);
  if (f < 0) return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
  nonBlocking(f);
  *out = f;
  return 1;
}

int ftpSockSend(FtpSocket s, const uint8_t* bytes, int length, bool urgent) {
  ssize_t n = send(fd(s), bytes, static_cast<size_t>(length), MSG_NOSIGNAL | (urgent ? MSG_OOB : 0));
  return n >= 0 ? static_cast<int>(n) : failure(errno);
}

int ftpSockRecv(FtpSocket s, uint8_t* buffer, int size) {
  ssize_t n = recv(fd(s), buffer, static_cast<size_t>(size), 0);
  return n >= 0 ? static_cast<int>(n) : failure(errno);
}

int ftpSockLocalAddress(FtpSocket s, uint32_t* ipv4, int* port) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (getsockname(fd(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return -1;
  if (ipv4) *ipv4 = a.sin_addr.s_addr;
  if (port) *port = ntohs(a.sin_port);
  return 0;
}

int ftpSockPeerAddress(FtpSocket s, uint32_t* ipv4) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (getpeername(fd(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return -1;
  *ipv4 = a.sin_addr.s_addr;
  return 0;
}

int ftpSockReceiveBufferSize(FtpSocket s) {
  int size = 0;
  socklen_t len = sizeof size;
  return getsockopt(fd(s), SOL_SOCKET, SO_RCVBUF, &size, &len) == 0 ? size : 0;
}

bool ftpSockWait(FtpSocket s, bool forWrite, int ms) {
  if (s == FTP_NO_SOCKET) return false;
  pollfd p{fd(s), static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
  return poll(&p, 1, ms) == 1;
}

void ftpSockClose(FtpSocket s) {
  if (s != FTP_NO_SOCKET) close(fd(s));
}
