// Drives the Telnet engine through the terminal's real receive path: the
// host's bytes arrive over a link, the engine sits in the terminal's hook
// slots, data lands on a TTY screen, and what the engine writes is recorded.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

namespace harness {
inline std::string written, incoming;
inline size_t at = 0;

inline int wireRead(uint8_t* buffer, int count) {
  size_t n = std::min(static_cast<size_t>(count), incoming.size() - at);
  std::memcpy(buffer, incoming.data() + at, n);
  at += n;
  return static_cast<int>(n);
}
inline int recordWrite(const uint8_t* bytes, int length) {
  written.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
  return 0;
}
inline const LinkOps recordingLink = {wireRead, recordWrite, nullptr, nullptr, nullptr, nullptr, nullptr, true};

// A fresh TTY terminal (every byte from 0x20 up is shown as it is) on the
// recording link, with the engine reset and attached for telnetSession.
inline void attach() {
  written.clear();
  incoming.clear();
  at = 0;
  terminalReset(24, 80, 100);
  terminalOptions.emulation = 1;
  emulatorConnectionStart();
  receiveEightBit = true;
  linkAttach(&recordingLink);
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
  incoming = bytes;
  at = 0;
  while (at < incoming.size()) receiveAvailable();
  std::string data;
  for (int r = 0; r < screen.rows; ++r)
    data.append(reinterpret_cast<const char*>(lineAt(r).cells), static_cast<size_t>(lineAt(r).used));
  return data;
}

inline std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}
}  // namespace harness
