// The FTP client's sockets: the control connection, the listen socket of
// active mode and the data connections. Every socket is non-blocking; waits
// belong to the callers' loops, which take one message per turn.
#pragma once
#include <cstdint>

using FtpSocket = intptr_t;
constexpr FtpSocket FTP_NO_SOCKET = -1;

// Results of send and receive besides byte counts.
constexpr int FTP_SOCK_WOULDBLOCK = -1;
constexpr int FTP_SOCK_SOFT = -2;  // another failure that a retry may cure
constexpr int FTP_SOCK_HARD = -3;  // the connection is gone (reset, down, not connected)

// Starts the platform's sockets once (a no-op where nothing is needed).
int ftpSockStartup();
// An IPv4 address in network order from a dotted address or a host name;
// 0 when it cannot be resolved.
uint32_t ftpSockResolve(const char* host);
// The port of a TCP service from the system's service database, or fallback
// when the service is not listed.
int ftpSockServicePort(const char* service, int fallback);
// Starts a connect to ipv4:port. 1 connected, 0 in progress, negative on
// failure (minus the Windows Sockets error number where one applies).
int ftpSockConnect(uint32_t ipv4, int port, FtpSocket* out);
// A connect in progress: 1 done, 0 still running, negative (the error) failed.
int ftpSockConnectState(FtpSocket socket);
// A listening socket on the local address ipv4 (network order) and a port of
// the system's choice.
int ftpSockListen(uint32_t ipv4, FtpSocket* out);
// 1 with *out set, 0 when nobody waits, negative on failure.
int ftpSockAccept(FtpSocket listener, FtpSocket* out);
// Bytes sent (>= 0) or FTP_SOCK_WOULDBLOCK / _SOFT / _HARD. urgent: out-of-band.
int ftpSockSend(FtpSocket socket, const uint8_t* bytes, int length, bool urgent);
// Bytes received (> 0), 0 when the peer closed, FTP_SOCK_WOULDBLOCK, or
// FTP_SOCK_HARD / _SOFT on failure.
int ftpSockRecv(FtpSocket socket, uint8_t* buffer, int size);
// Local address (network order) and port of a socket; negative on failure.
int ftpSockLocalAddress(FtpSocket socket, uint32_t* ipv4, int* port);
// Address (network order) of the socket's peer; negative on failure.
int ftpSockPeerAddress(FtpSocket socket, uint32_t* ipv4);
// The socket's receive buffer size (SO_RCVBUF), or 0.
int ftpSockReceiveBufferSize(FtpSocket socket);
// Waits at most ms until the socket can be read (or written), so that wait
// loops do not spin; true when it can.
bool ftpSockWait(FtpSocket socket, bool forWrite, int ms);
void ftpSockClose(FtpSocket socket);
