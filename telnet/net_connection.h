// The socket link's portable half: where a session connects to (direct or
// through the firewall host, which port), the receive buffer behind linkRead,
// the write loop behind linkWrite, the connection's texts. The platform
// drivers (Windows Sockets, POSIX sockets for the host tools) do the look-ups
// and the connect, call netEstablished, and supply the socket_io.h functions
// under the link. Messages go through message_box.h.
#pragma once
#include <cstdint>

#include "shell/net_address.h"

// What the session asks for (from its record).
struct NetRequest {
  char address[81];
  int port;          // 0: the protocol's service
  bool rlogin;
  bool useFirewall;  // connect to the firewall host of the settings store instead
};

// Where the connection goes: the address text and the port (0 while the
// service still has to be looked up).
struct NetTarget {
  char address[256];
  int port;
  bool rlogin;
  bool useFirewall;
  bool numericAddress;
  uint8_t numeric[4];  // the dotted-decimal address in network order
};

// Fills target from the request and the firewall settings. Returns 0, or -1
// after showing "Host address not specified" / "Firewall address not specified".
int netPlanTarget(const NetRequest& request, NetTarget* target);
// "TELNET" or "RLOGIN" (looked up with protocol "TCP").
const char* netServiceName(bool rlogin);
// The port when no service look-up is wanted (0 means: look the service up).
int netPortWithoutLookup(const NetTarget& target);
// The port to use after a failed service look-up.
int netFallbackPort(const NetTarget& target);

// The link part of "connection established": a receive buffer of the socket's
// size (4096 when it reports less than 1), writable, 8-bit reception, no
// Telnet command in progress, connected; then the socket is the program's link
// (reads, writes and close go through socket_io.h). Returns -1, with the link
// left down, when no receive buffer can be had.
int netEstablished(int receiveBufferSize);
// Frees the buffer and clears the link state.
void netReleased();
// Whether the connection is up (made and not yet lost or closed).
bool netLinkUp();
// The receive buffer's size while connected.
int netReceiveBufferSize();
// Whether linkRead has something to return without asking the socket (bytes
// still buffered, or the loss waiting to be reported).
bool netInputPending();
// The platform saw the socket become writable again (the write-ready event).
void netSocketWritable();
// Set by the transfer framework while a file transfer owns the line.
extern bool netTransferRunning;
// Set by a transfer dialog's Cancel: a waiting write gives up.
extern volatile bool* netWriteAbort;
