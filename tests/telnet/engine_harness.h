// Drives the Telnet engine as the receive path does, over a link that records
// what the engine writes.
#pragma once
#include <cstdint>
#include <string>

#include "telnet/telnet_engine.h"
#include "terminal/link.h"

namespace harness {
inline std::string written;
inline int writeResult = 0;

inline int recordWrite(const uint8_t* bytes, int length) {
  written.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
  return writeResult;
}
inline const LinkOps recordingLink = {nullptr, recordWrite, nullptr, nullptr, nullptr, nullptr, nullptr, true};

// A fresh connection: the session values given, the engine reset.
inline void connect(bool localEcho = false, bool binary = false, int columns = 80, int rows = 24,
                    const char* terminalId = "vt100", bool rlogin = false) {
  written.clear();
  writeResult = 0;
  telnetSession = {};
  telnetSession.rlogin = rlogin;
  telnetSession.localEcho = localEcho;
  telnetSession.binaryMode = binary;
  telnetSession.columns = columns;
  telnetSession.rows = rows;
  snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "%s", terminalId);
  linkAttach(&recordingLink);
  telnetResetForConnection();
}

// The bytes that reach the emulator. A 0xFF in data mode opens a command on a
// Telnet connection; in Rlogin it is data.
inline std::string receive(const std::string& bytes) {
  std::string data;
  for (unsigned char b : bytes) {
    if (telnetInCommand()) {
      int d = telnetCommandByte(b);
      if (d >= 0) data += static_cast<char>(d);
    } else if (b == TN_IAC && !telnetSession.rlogin) {
      telnetStartCommand();
    } else {
      data += static_cast<char>(b);
    }
  }
  return data;
}

inline std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}
}  // namespace harness
