#include "terminal/hooks.h"

namespace {
bool no() { return false; }
void none() {}
void noByte(uint8_t) {}
void noBytes(const uint8_t*, int) {}
void noSize(int, int) {}

constexpr TerminalHooks idle = {
    no,   noByte, none,                      // Telnet
    no,   noByte, no,     none, none,        // transparent printing
    no,   noByte,                            // capture
    no,   noByte, none,   none,   no,        // ZMODEM auto-start
    no,   noBytes,                           // script
    noSize,                                  // window size
    no,   noBytes,                           // chat
};
}  // namespace

// Filled before any code runs, so the slots are callable even before the first reset.
TerminalHooks terminalHooks = idle;

void hooksReset() { terminalHooks = idle; }
