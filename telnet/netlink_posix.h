// Host driver of the socket link over POSIX sockets, with the behaviour of the
// program's Windows Sockets driver: the same target and port decisions, the
// same messages, the same link contract. Look-ups and the connect run
// synchronously within a time limit.
#pragma once
#include <string>

#include "telnet/net_connection.h"

// Connects as the program does and runs the connection-established step (the
// link is attached; Telnet state reset). The caller then sends the offers or
// the handshake with telnetOnConnected(). Returns 0, or -1 after the message.
int netConnectPosix(const NetRequest& request, int timeoutMs);
// Runs the connection-established step over a socket connected elsewhere (one
// end of a socketpair, say), which the link then owns. A receiveBufferSize of
// 0 takes the socket's own. Returns 0, or -1 when fd is invalid.
int netAdoptSocket(int fd, bool rlogin, int receiveBufferSize = 0);
// Closes the socket and detaches the link.
void netDisconnectPosix();
// Waits up to ms for received or urgent data, handling urgent bytes (Rlogin).
// True when linkRead has something to return (data or the loss).
bool netWaitInput(int ms);
// Every byte sent since the connection was made (the first megabyte).
const std::string& netSentBytes();
// The local source port of the connection, or -1.
int netLocalPort();
