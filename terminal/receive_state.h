// State of the receive pass kept between calls (internal to the byte path).
#pragma once
#include <cstdint>

#include "terminal/hooks.h"
#include "terminal/options.h"

// Passes that may be active at once: the outer one and one entered while a
// reply or an echo is being written (a socket write dispatches messages).
constexpr int MAX_RECEIVE_DEPTH = 2;

struct ReceiveState {
  int depth;           // receive passes running now
  bool requested;      // a pass was refused for depth; the outer one reads again
  bool backlog;        // the last outer pass stopped at its block bound
  bool run;            // passes run in a row, shown once at its end
};

extern ReceiveState receiveState;
void receiveStateReset();

// The visible path for one byte that is data whatever its value.
void processControlsVisibleData(uint8_t b);

// CAN after "**" left of the cursor arms the ZMODEM auto-start (both paths).
void zmodemCancelCheck();

// The layers that take a received byte before the terminal sees it, in the
// order both byte paths ask them: a Telnet command in progress, then the
// ZMODEM auto-start capture. True when one of them took the byte.
inline bool divertedUpward(uint8_t b) {
  if (terminalHooks.telnetInCommand()) {
    terminalHooks.telnetCommandByte(b);
    return true;
  }
  if (terminalOptions.zmodemAutoStart && terminalHooks.zmodemCaptureActive()) {
    terminalHooks.zmodemCaptureByte(b);
    return true;
  }
  return false;
}
