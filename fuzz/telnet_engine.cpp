// Any byte stream from a Telnet or Rlogin host, through the socket link's
// receive buffer, the terminal's receive path and the Telnet engine in its
// hook slots: no crash, no overrun, replies bounded by the input.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "telnet/net_connection.h"
#include "telnet/rlogin.h"
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
size_t written;
}  // namespace

// This program's platform socket (link-time, in place of the POSIX driver):
// the input in pieces of varying size, then the close; sends are counted.
int socketReceive(uint8_t* buffer, int size) {
  if (inputAt >= inputSize) return LINK_LOST;
  size_t piece = 1 + (input[inputAt] % 61);
  if (piece > inputSize - inputAt) piece = inputSize - inputAt;
  if (piece > static_cast<size_t>(size)) piece = static_cast<size_t>(size);
  memcpy(buffer, input + inputAt, piece);
  inputAt += piece;
  return static_cast<int>(piece);
}

int socketSend(const uint8_t*, int length) {
  written += static_cast<size_t>(length);
  return length;
}
int socketWaitWritable() { return 1; }
void socketClose() {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = terminalReset(24, 80, 100) == 0;
  if (!ready || size < 1) return 0;
  // The first byte picks the session's settings.
  const uint8_t mode = data[0];
  input = data + 1;
  inputSize = size - 1;
  inputAt = 0;
  written = 0;
  terminalOptions.emulation = 1 + (mode & 7);
  terminalOptions.displayControls = (mode & 0x40) != 0;
  emulatorConnectionStart();
  telnetSession = {};
  telnetSession.rlogin = (mode & 0x08) != 0;
  telnetSession.localEcho = (mode & 0x10) != 0;
  telnetSession.binaryMode = (mode & 0x20) != 0;
  memcpy(telnetSession.terminalId, "vt\xFF" "100", 7);
  netTransferRunning = (mode & 0x80) != 0;
  telnetResetForConnection();
  netEstablished(mode & 0x40 ? 7 : 4096);
  telnetAttachTerminal();
  telnetOnConnected();
  for (int pass = 0; pass < 100000 && receiveAvailable() != LINK_LOST; ++pass) {
  }
  if (mode & 0x01) rloginUrgentByte(0x80);
  linkClose();
  // Each received byte yields at most one reply of bounded size.
  if (written > 64 + inputSize * 40) __builtin_trap();
  return 0;
}
