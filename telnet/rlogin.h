// Rlogin over the socket link: the opening handshake, the window-size message
// and the server's urgent control bytes. Rlogin interprets nothing in the
// data stream itself.
#pragma once
#include <cstdint>

// Servers refuse user names of 32 characters or more; longer names are cut.
constexpr int RLOGIN_NAME_MAX = 31;
// Servers accept only privileged source ports from 512 to 1023.
constexpr int RLOGIN_FIRST_PORT = 1023;
constexpr int RLOGIN_LAST_PORT = 512;

struct RloginState {
  int localPort;                       // source port of the last connect attempt
  char localUser[RLOGIN_NAME_MAX + 1]; // the logged-on user; empty when unknown
  char userName[RLOGIN_NAME_MAX + 1];  // the session's "Username"
};
extern RloginState rlogin;

// Sets the two names, cut to what servers accept.
void rloginSetNames(const char* localUser, const char* userName);
// Builds the handshake: NUL, local user, NUL, remote user, NUL,
// terminal ID "/9600", NUL. Returns its length.
int rloginHandshake(const char* terminalId, uint8_t out[128]);
void rloginSendHandshake();
// FF FF 73 73, then rows, columns, 640 and 480 as 16-bit network-order values.
int rloginWindowSizeMessage(int rows, int columns, uint8_t out[12]);
void rloginSendWindowSize();
// One urgent byte from the server. Raw (0x10) and cooked (0x20) mode are the
// keyboard's flag: in raw mode typed XON and XOFF go to the server.
void rloginUrgentByte(uint8_t b);

// Finds a source port: calls tryPort(port) from start down to
// RLOGIN_LAST_PORT until it returns true. Returns that port, or -1.
int rloginPortSearch(int start, bool (*tryPort)(int port, void* context), void* context);
// The port to retry from after "address in use": one lower, wrapping to the top.
int rloginNextPort(int port);
