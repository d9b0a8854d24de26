#include "telnet/netlink_posix.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "shell/message_box.h"
#include "telnet/rlogin.h"
#include "telnet/socket_io.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"

namespace {
int sock = -1;
bool urgentData = false;  // Rlogin: the server's control bytes come as urgent data
// Everything sent since the connection was made, for the tools' report.
std::string sent;
constexpr size_t SENT_KEPT = 1 << 20;

int translate(int err) {
  switch (err) {
    case EWOULDBLOCK: return NET_WOULDBLOCK;
    case EADDRINUSE: case EADDRNOTAVAIL: return NET_ADDRINUSE;
    case ENETDOWN: return NET_NETDOWN;
    case ENETRESET: return NET_NETRESET;
    case ECONNABORTED: return NET_CONNABORTED;
    case ECONNRESET: case EPIPE: return NET_CONNRESET;
    case ENOTCONN: return NET_NOTCONN;
    case ESHUTDOWN: return NET_SHUTDOWN;
    case ETIMEDOUT: return NET_TIMEDOUT;
    case ECONNREFUSED: return NET_CONNREFUSED;
    default: return err;
  }
}

void closeSocket() {
  if (sock >= 0) close(sock);
  sock = -1;
}

// Urgent bytes arrive apart from the stream; Rlogin's control bytes are these.
void takeUrgent() {
  if (sock < 0 || !urgentData) return;
  for (int i = 0; i < 16; ++i) {
    pollfd p{sock, POLLPRI, 0};
    if (poll(&p, 1, 0) != 1 || !(p.revents & POLLPRI)) return;
    uint8_t b;
    if (recv(sock, &b, 1, MSG_OOB | MSG_DONTWAIT) != 1) return;
    rloginUrgentByte(b);
  }
}

int resolve(const NetTarget& target, in_addr* address) {
  if (target.numericAddress) {
    memcpy(address, target.numeric, sizeof *address);
    return 0;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(target.address, nullptr, &hints, &found) != 0 || !found) return -1;
  *address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return 0;
}

int servicePort(const NetTarget& target) {
  int port = netPortWithoutLookup(target);
  if (port != 0) return port;
  // Service names are looked up in lower case here, as the services file has them.
  char name[16];
  const char* upper = netServiceName(target.rlogin);
  size_t i = 0;
  for (; upper[i] && i < sizeof name - 1; ++i) name[i] = static_cast<char>(tolower(upper[i]));
  name[i] = '\0';
  servent* s = getservbyname(name, "tcp");
  return s ? ntohs(static_cast<uint16_t>(s->s_port)) : netFallbackPort(target);
}

// Waits for the connect's outcome; returns 0 or the error.
int awaitConnect(int timeoutMs) {
  pollfd p{sock, POLLOUT, 0};
  int r = poll(&p, 1, timeoutMs);
  if (r <= 0) return NET_TIMEDOUT;  // an interrupted wait has not connected either
  int err = 0;
  socklen_t len = sizeof err;
  getsockopt(sock, SOL_SOCKET, SO_ERROR, &err, &len);
  return err ? translate(err) : 0;
}

int newSocket() {
  sock = socket(AF_INET, SOCK_STREAM, 0);
  if (sock >= 0) fcntl(sock, F_SETFL, fcntl(sock, F_GETFL, 0) | O_NONBLOCK);
  return sock;
}

// Starts a connect; 0 when it is under way or done, else the error.
int startConnect(const sockaddr_in& to) {
  if (connect(sock, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return 0;
  return errno == EINPROGRESS ? 0 : translate(errno);
}

bool bindPort(int port, void*) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(static_cast<uint16_t>(port));
  return bind(sock, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
}

// The Rlogin connect from a privileged port, one lower after "address in use".
int rloginConnect(const sockaddr_in& to, int timeoutMs) {
  int start = RLOGIN_FIRST_PORT;
  for (int attempt = 0; attempt < RLOGIN_FIRST_PORT - RLOGIN_LAST_PORT + 1; ++attempt) {
    if (newSocket() < 0) return -1;
    int port = rloginPortSearch(start, bindPort, nullptr);
    if (port < 0) {
      closeSocket();
      return -1;
    }
    rlogin.localPort = port;
    int err = startConnect(to);
    if (err == 0) err = awaitConnect(timeoutMs);
    if (err == 0) return 0;
    closeSocket();
    if (err != NET_ADDRINUSE) return err;
    if (port == RLOGIN_LAST_PORT) return -1;
    start = rloginNextPort(port);
  }
  return -1;
}

void failed(int err) {
  if (err == -1) {
    messageBoxTitled(0, NET_TEXT_CONNECT_FAILED, "error", MSG_ICONSTOP);
    return;
  }
  char text[96];
  netConnectFailureText(err, text, sizeof text);
  messageBoxTitled(0, text, "Error", MSG_OK);
}

// The connection-established step over a connected socket.
void established(bool rlogin, int receiveBufferSize) {
  if (receiveBufferSize <= 0) {
    socklen_t len = sizeof receiveBufferSize;
    getsockopt(sock, SOL_SOCKET, SO_RCVBUF, &receiveBufferSize, &len);
  }
  urgentData = rlogin;
  if (!rlogin) {
    // A Telnet host sends IAC DM as urgent data after an interrupt: taken
    // inline, the pair stays whole in the stream and the engine drops it,
    // where apart from the stream the IAC would go and DM show as data.
    int one = 1;
    setsockopt(sock, SOL_SOCKET, SO_OOBINLINE, &one, sizeof one);
  }
  sent.clear();
  telnetSession.rlogin = rlogin;
  telnetResetForConnection();
  netEstablished(receiveBufferSize);
}
}  // namespace

int socketReceive(uint8_t* buffer, int size) {
  takeUrgent();
  ssize_t n = recv(sock, buffer, static_cast<size_t>(size), MSG_DONTWAIT);
  if (n > 0) return static_cast<int>(n);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return 0;
  return LINK_LOST;
}

int socketSend(const uint8_t* bytes, int length) {
  ssize_t n = send(sock, bytes, static_cast<size_t>(length), MSG_DONTWAIT | MSG_NOSIGNAL);
  if (n > 0 && sent.size() < SENT_KEPT) sent.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
  if (n >= 0) return static_cast<int>(n);
  return -translate(errno);
}

int socketWaitWritable() {
  pollfd p{sock, POLLOUT, 0};
  if (poll(&p, 1, 20) != 1) return 0;
  if (p.revents & (POLLERR | POLLHUP)) return -1;
  return (p.revents & POLLOUT) ? 1 : 0;
}

void socketClose() { closeSocket(); }

int netConnectPosix(const NetRequest& request, int timeoutMs) {
  netDisconnectPosix();
  NetTarget target;
  if (netPlanTarget(request, &target) < 0) return -1;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  if (resolve(target, &to.sin_addr) < 0) {
    messageBoxTitled(0, NET_TEXT_HOST_ERROR, "Error", MSG_ICONSTOP);
    return -1;
  }
  to.sin_port = htons(static_cast<uint16_t>(servicePort(target)));

  int err;
  if (request.rlogin) {
    const passwd* me = getpwuid(getuid());
    char userName[sizeof rlogin.userName];
    memcpy(userName, rlogin.userName, sizeof userName);
    rloginSetNames(me ? me->pw_name : "", userName);
    err = rloginConnect(to, timeoutMs);
  } else {
    if (newSocket() < 0) {
      failed(-1);
      return -1;
    }
    err = startConnect(to);
    // Loopback refuses at once where Windows Sockets reports it asynchronously.
    if (err == 0) err = awaitConnect(timeoutMs);
  }
  if (err != 0) {
    closeSocket();
    failed(err);
    return -1;
  }

  established(request.rlogin, 0);
  return 0;
}

int netAdoptSocket(int fd, bool rlogin, int receiveBufferSize) {
  netDisconnectPosix();
  if (fd < 0 || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK) < 0) return -1;
  sock = fd;
  established(rlogin, receiveBufferSize);
  return 0;
}

void netDisconnectPosix() {
  if (sock >= 0 || netLinkUp()) linkClose();
  closeSocket();
  netReleased();
}

const std::string& netSentBytes() { return sent; }

bool netWaitInput(int ms) {
  if (sock < 0) return netInputPending();
  if (netInputPending()) return true;
  pollfd p{sock, static_cast<short>(POLLIN | POLLPRI), 0};
  if (poll(&p, 1, ms) != 1) return false;
  takeUrgent();
  return (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

int netLocalPort() {
  if (sock < 0) return -1;
  sockaddr_in local{};
  socklen_t len = sizeof local;
  if (getsockname(sock, reinterpret_cast<sockaddr*>(&local), &len) < 0) return -1;
  return ntohs(local.sin_port);
}
