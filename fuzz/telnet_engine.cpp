// Any byte stream from a Telnet or Rlogin host, through the socket link's
// receive buffer, the terminal's receive path and the Telnet engine in its
// hook slots: no crash, no overrun, replies bounded by the input.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "telnet/net_connection.h"
#include "telnet/rlogin.h"
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

// The platform receive: the input in pieces of varying size, then the close.
int receive(uint8_t* buffer, int size) {
  if (inputAt >= inputSize) return LINK_LOST;
  size_t piece = 1 + (input[inputAt] % 61);
  if (piece > inputSize - inputAt) piece = inputSize - inputAt;
  if (piece > static_cast<size_t>(size)) piece = static_cast<size_t>(size);
  memcpy(buffer, input + inputAt, piece);
  inputAt += piece;
  return static_cast<int>(piece);
}

int readOp(uint8_t* buffer, int count) { return netLinkRead(buffer, count, receive); }
int writeOp(const uint8_t*, int length) {
  written += static_cast<size_t>(length);
  return 0;
}
const LinkOps ops = {readOp, writeOp, nullptr, nullptr, nullptr, nullptr, nullptr, true};
}  // namespace

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
  linkAttach(&ops);
  telnetAttachTerminal();
  telnetOnConnected();
  for (int pass = 0; pass < 100000 && receiveAvailable() != LINK_LOST; ++pass) {
  }
  if (mode & 0x01) rloginUrgentByte(0x80);
  linkAttach(nullptr);
  netReleased();
  // Each received byte yields at most one reply of bounded size.
  if (written > 64 + inputSize * 40) __builtin_trap();
  return 0;
}
