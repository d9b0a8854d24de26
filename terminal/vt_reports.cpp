// Replies to status, cursor-position and identification requests.
#include <cstdio>
#include <cstring>

#include "terminal/emulator.h"
#include "terminal/screen.h"
#include "terminal/terminal_type.h"
#include "terminal/vt_handlers.h"

void deviceStatusReport(const Sequence& q) {
  if (q.s[0] != '[') return;
  int e = emulator.emulation;
  bool eightBit = emulator.eightBitControls;
  if (!std::strcmp(q.p, "5")) {
    // The VT100s answer in the 7-bit form whatever was asked.
    sendCsiReply("0n", eightBit && e != TERM_VT100 && e != TERM_ANSI_COLOR);
  } else if (!std::strcmp(q.p, "6")) {
    char body[32];
    std::snprintf(body, sizeof body, "%d;%dR", screen.row + 1, screen.column + 1);
    sendCsiReply(body, eightBit);
  } else if (!std::strcmp(q.p, "?25")) {
    sendCsiReply("?20n", eightBit);
  }
}

void deviceAttributes(const Sequence& q) {
  if (q.s[1] == '\0') identify();
}

void identify() {
  bool eightBit = emulator.eightBitControls;
  switch (emulator.emulation) {
    case TERM_VT100: case TERM_ANSI_COLOR: sendCsiReply("?1;2c", false); break;
    case TERM_VT102: sendCsiReply("?6c", eightBit); break;
    case TERM_VT220: sendCsiReply("?62;1;2;9;11;14c", eightBit); break;
    case TERM_VT320: sendCsiReply("?63;1;2;9;11;14c", eightBit); break;
    default: break;
  }
}
