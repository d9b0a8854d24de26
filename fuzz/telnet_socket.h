// What the Telnet fuzz programs share: the platform socket (link-time, in
// place of the POSIX driver) handing out the input in pieces of varying size
// and then the close, keeping what is sent; and a connection started with
// the session's settings taken from a mode byte.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "telnet/net_connection.h"
#include "telnet/socket_io.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

namespace {
const uint8_t* input;
size_t inputSize, inputAt;
std::string sent;
}  // namespace

int socketReceive(uint8_t* buffer, int size) {
  if (inputAt >= inputSize) return LINK_LOST;
  size_t piece = 1 + (input[inputAt] % 61);
  if (piece > inputSize - inputAt) piece = inputSize - inputAt;
  if (piece > static_cast<size_t>(size)) piece = static_cast<size_t>(size);
  memcpy(buffer, input + inputAt, piece);
  inputAt += piece;
  return static_cast<int>(piece);
}
int socketSend(const uint8_t* bytes, int length) {
  sent.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
  return length;
}
int socketWaitWritable() { return 1; }
void socketClose() {}

// The input after the mode byte goes on the socket. Mode bits: 0-2 the
// emulation, 5 binary mode, 6 a receive buffer of 7 bytes.
inline void connectFuzzSession(const uint8_t* data, size_t size, const char* terminalId, bool rlogin = false) {
  const uint8_t mode = data[0];
  input = data + 1;
  inputSize = size - 1;
  inputAt = 0;
  sent.clear();
  terminalOptions.emulation = 1 + (mode & 7);
  emulatorConnectionStart();
  telnetSession = {};
  telnetSession.rlogin = rlogin;
  telnetSession.binaryMode = (mode & 0x20) != 0;
  std::snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "%s", terminalId);
  telnetResetForConnection();
  netEstablished(mode & 0x40 ? 7 : 4096);
  telnetAttachTerminal();
}

// Each received byte yields at most one reply of bounded size.
inline bool repliesBounded() { return sent.size() <= 64 + inputSize * 40; }
