// Drives the Telnet engine through the terminal's real receive path: the
// host's bytes arrive over the terminal harness's link, the engine sits in the
// terminal's hook slots, data lands on a TTY screen, and what the engine
// writes is kept in wire.replies.
#pragma once
#include <cstdio>
#include <initializer_list>
#include <string>

#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "tests/terminal/terminal_harness.h"

namespace harness {
// A fresh TTY terminal (every byte from 0x20 up is shown as it is) on the
// harness link, with the engine reset and attached for telnetSession.
inline void attach() {
  reset(1, 24, 80, 100);
  telnetResetForConnection();
  telnetAttachTerminal();
}

// A fresh connection with these session values.
inline void connect(bool localEcho = false, bool binary = false, int columns = 80, int rows = 24,
                    const char* terminalId = "vt100", bool rlogin = false) {
  telnetSession = {};
  telnetSession.rlogin = rlogin;
  telnetSession.localEcho = localEcho;
  telnetSession.binaryMode = binary;
  snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "%s", terminalId);
  attach();
  telnetSession.columns = columns;  // as the session would report them, whatever the screen
  telnetSession.rows = rows;
}

// Runs bytes through the receive pass on a cleared screen; returns what the
// screen shows afterwards, row after row.
inline std::string receive(const std::string& bytes) {
  clearScreen();
  feed(bytes);
  std::string data;
  for (int r = 0; r < screen.rows; ++r) data += row(r);
  return data;
}

inline std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}
}  // namespace harness
