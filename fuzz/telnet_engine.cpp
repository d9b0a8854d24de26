// Any byte stream from a Telnet or Rlogin host, through the socket link's
// receive buffer, the terminal's receive path and the Telnet engine in its
// hook slots: no crash, no overrun, replies bounded by the input.
#include "fuzz/telnet_socket.h"
#include "telnet/rlogin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = terminalReset(24, 80, 100) == 0;
  if (!ready || size < 1) return 0;
  // The first byte picks the session's settings.
  const uint8_t mode = data[0];
  terminalOptions.displayControls = (mode & 0x40) != 0;
  netTransferRunning = (mode & 0x80) != 0;
  connectFuzzSession(data, size, "vt\xFF" "100", (mode & 0x08) != 0);
  telnetSession.localEcho = (mode & 0x10) != 0;
  telnetOnConnected();
  for (int pass = 0; pass < 100000 && receiveAvailable() != LINK_LOST; ++pass) {
  }
  if (mode & 0x01) rloginUrgentByte(0x80);
  linkClose();
  if (!repliesBounded()) __builtin_trap();
  return 0;
}
