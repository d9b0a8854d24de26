#include "telnet/rlogin.h"

#include <cstdio>
#include <cstring>

#include "shell/bounded_copy.h"
#include "telnet/telnet_engine.h"
#include "terminal/keymap.h"
#include "terminal/link.h"

RloginState rlogin = {RLOGIN_FIRST_PORT, "", ""};

namespace {
int putString(uint8_t* out, int at, const char* text) {
  size_t n = strlen(text);
  memcpy(out + at, text, n);
  out[at + static_cast<int>(n)] = 0;
  return at + static_cast<int>(n) + 1;
}

int put16(uint8_t* out, int at, int value) {
  out[at] = static_cast<uint8_t>((value >> 8) & 0xFF);
  out[at + 1] = static_cast<uint8_t>(value & 0xFF);
  return at + 2;
}
}  // namespace

void rloginSetNames(const char* localUser, const char* userName) {
  copyBounded(rlogin.localUser, sizeof rlogin.localUser, localUser);
  copyBounded(rlogin.userName, sizeof rlogin.userName, userName);
}

int rloginHandshake(const char* terminalId, uint8_t out[128]) {
  int n = 0;
  out[n++] = 0;
  // Without the logged-on user's name the session's user name stands in.
  n = putString(out, n, rlogin.localUser[0] ? rlogin.localUser : rlogin.userName);
  n = putString(out, n, rlogin.userName);
  char terminal[40];
  snprintf(terminal, sizeof terminal, "%.15s/%s", terminalId ? terminalId : "", "9600");
  return putString(out, n, terminal);
}

void rloginSendHandshake() {
  uint8_t bytes[128];
  linkWrite(bytes, rloginHandshake(telnetSession.terminalId, bytes));
}

int rloginWindowSizeMessage(int rows, int columns, uint8_t out[12]) {
  out[0] = 0xFF;
  out[1] = 0xFF;
  out[2] = 's';
  out[3] = 's';
  int n = put16(out, 4, rows);
  n = put16(out, n, columns);
  n = put16(out, n, 640);
  put16(out, n, 480);
  return 12;
}

void rloginSendWindowSize() {
  uint8_t bytes[12];
  // One write: servers take the message only when all 12 bytes arrive in one
  // read, and a first segment of 4 bytes would reach the shell as typed text.
  linkWrite(bytes, rloginWindowSizeMessage(telnetSession.rows, telnetSession.columns, bytes));
}

void rloginUrgentByte(uint8_t b) {
  switch (b) {
    case 0x10: keyboard.rloginRaw = true; break;   // raw: flow control to the server
    case 0x20: keyboard.rloginRaw = false; break;  // cooked: XON/XOFF handled here
    case 0x80:                             // window size wanted, from now on
      telnetState.windowSizeReporting = true;
      rloginSendWindowSize();
      break;
    default: break;  // 0x02 (flush) and anything else
  }
}

int rloginPortSearch(int start, bool (*tryPort)(int port, void* context), void* context) {
  if (start > RLOGIN_FIRST_PORT || start < RLOGIN_LAST_PORT) start = RLOGIN_FIRST_PORT;
  for (int port = start; port >= RLOGIN_LAST_PORT; --port)
    if (tryPort(port, context)) return port;
  return -1;
}

int rloginNextPort(int port) {
  --port;
  return port < RLOGIN_LAST_PORT ? RLOGIN_FIRST_PORT : port;
}
