// The FTP sockets over Windows Sockets: non-blocking sockets whose readiness
// the engine's loops test between messages.
#include <winsock.h>

#include <cstring>

#include "ftp/ftp_socket.h"

namespace {
SOCKET sock(FtpSocket s) { return static_cast<SOCKET>(s); }

int nonBlocking(SOCKET s) {
  u_long on = 1;
  return ioctlsocket(s, FIONBIO, &on);
}

int failure() {
  switch (WSAGetLastError()) {
    case WSAEWOULDBLOCK:
      return FTP_SOCK_WOULDBLOCK;
    case WSAENETDOWN: case WSAENETRESET: case WSAECONNABORTED: case WSAECONNRESET: case WSAENOTCONN:
    case WSAESHUTDOWN: case WSAENOTSOCK:
      return FTP_SOCK_HARD;
    default:
      return FTP_SOCK_SOFT;
  }
}

bool ready(SOCKET s, bool forWrite, bool* failed, int ms) {
  fd_set set, errors;
  FD_ZERO(&set);
  FD_ZERO(&errors);
  FD_SET(s, &set);
  FD_SET(s, &errors);
  timeval limit{0, ms * 1000};
  int n = select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, &errors, &limit);
  if (failed) *failed = n > 0 && FD_ISSET(s, &errors);
  return n > 0 && FD_ISSET(s, &set);
}
}  // namespace

int ftpSockStartup() {
  static bool started = false;
  if (started) return 0;
  WSADATA data;
  if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return -1;
  started = true;
  return 0;
}

uint32_t ftpSockResolve(const char* host) {
  unsigned long ip = inet_addr(host);
  if (ip != INADDR_NONE) return ip;
  hostent* found = gethostbyname(host);
  if (!found || found->h_length != 4 || !found->h_addr_list[0]) return 0;
  uint32_t out;
  memcpy(&out, found->h_addr_list[0], 4);
  return out;
}

int ftpSockServicePort(const char* service, int fallback) {
  const servent* found = getservbyname(service, "tcp");
  return found ? ntohs(static_cast<u_short>(found->s_port)) : fallback;
}

int ftpSockConnect(uint32_t ipv4, int port, FtpSocket* out) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return -1;
  nonBlocking(s);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<u_short>(port));
  to.sin_addr.s_addr = ipv4;
  *out = static_cast<FtpSocket>(s);
  if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) return 1;
  int err = WSAGetLastError();
  if (err == WSAEWOULDBLOCK) return 0;
  closesocket(s);
  *out = FTP_NO_SOCKET;
  return -err;
}

int ftpSockConnectState(FtpSocket s) {
  bool failed = false;
  // A failed connect shows in the exception set.
  if (ready(sock(s), true, &failed, 0)) return 1;
  if (!failed) return 0;
  int err = 0, len = sizeof err;
  getsockopt(sock(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len);
  return err ? -err : -1;
}

int ftpSockListen(uint32_t ipv4, FtpSocket* out) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return -1;
  nonBlocking(s);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = ipv4;
  if (bind(s, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 || listen(s, 1) != 0) {
    closesocket(s);
    return -1;
  }
  *out = static_cast<FtpSocket>(s);
  return 0;
}

int ftpSockAccept(FtpSocket listener, FtpSocket* out) {
  SOCKET s = accept(sock(listener), nullptr, nullptr);
  if (s == INVALID_SOCKET) return WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
  nonBlocking(s);
  *out = static_cast<FtpSocket>(s);
  return 1;
}

int ftpSockSend(FtpSocket s, const uint8_t* bytes, int length, bool urgent) {
  int n = send(sock(s), reinterpret_cast<const char*>(bytes), length, urgent ? MSG_OOB : 0);
  return n == SOCKET_ERROR ? failure() : n;
}

int ftpSockRecv(FtpSocket s, uint8_t* buffer, int size) {
  int n = recv(sock(s), reinterpret_cast<char*>(buffer), size, 0);
  return n == SOCKET_ERROR ? failure() : n;
}

int ftpSockLocalAddress(FtpSocket s, uint32_t* ipv4, int* port) {
  sockaddr_in a{};
  int len = sizeof a;
  if (getsockname(sock(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return -1;
  if (ipv4) *ipv4 = a.sin_addr.s_addr;
  if (port) *port = ntohs(a.sin_port);
  return 0;
}

int ftpSockPeerAddress(FtpSocket s, uint32_t* ipv4) {
  sockaddr_in a{};
  int len = sizeof a;
  if (getpeername(sock(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return -1;
  *ipv4 = a.sin_addr.s_addr;
  return 0;
}

int ftpSockReceiveBufferSize(FtpSocket s) {
  int size = 0, len = sizeof size;
  return getsockopt(sock(s), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&size), &len) == 0 ? size : 0;
}

bool ftpSockWait(FtpSocket s, bool forWrite, int ms) {
  if (s == FTP_NO_SOCKET) return false;
  return ready(sock(s), forWrite, nullptr, ms);
}

void ftpSockClose(FtpSocket s) {
  if (s != FTP_NO_SOCKET) closesocket(sock(s));
}
