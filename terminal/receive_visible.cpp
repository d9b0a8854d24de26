// The "Display controls" path: no escape processing; control bytes are shown
// by their names, one character per cell.
#include <cstring>

#include "terminal/colours.h"
#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/receive_state.h"
#include "terminal/screen.h"
#include "terminal/surface.h"

static const char* const controlNames[32] = {
    "<null>", "<soh>", "<stx>", "<etx>", "<eot>", "<enq>", "<ack>", "<bel>",
    "<bs>",   "<ht>",  "<lf>",  "<vt>",  "<ff>",  "<cr>",  "<so>",  "<si>",
    "<dle>",  "<dc1>", "<dc2>", "<dc3>", "<dc4>", "<nak>", "<syn>", "<etb>",
    "<can>",  "<em>",  "<sub>", "<esc>", "<fs>",  "<gs>",  "<rs>",  "<us>",
};

static void visibleCell(uint8_t ch) {
  ScreenBuffer& s = screen;
  if (s.column >= s.columns) {
    s.column = 0;
    if (s.row >= s.rows - 1) {
      // The whole screen scrolls, whatever the region: the top line is kept.
      scrollRowsOnWindow(0, s.rows - 1, -1);
      advanceRing();
      clearRow(s.rows - 1);
      s.row = s.rows - 1;
    } else {
      ++s.row;
    }
  }
  int cell = cursorCell();
  if (cursorInView()) {
    uint32_t text, back;
    cellColours(DEFAULT_ATTRIBUTE, emulator.emulation, &text, &back);
    surfaceDrawCell(cellX(s.column), cellY(s.row), ch, text, back);
  }
  ScreenLine& line = lineAt(s.row);
  line.cells[cell] = ch;
  attributesAt(s.row)[cell] = DEFAULT_ATTRIBUTE;
  if (s.column < LINE_CELLS) ++s.column;
  if (line.used < cell + 1) line.used = static_cast<int16_t>(cell + 1);
}

static void visibleByte(uint8_t b, bool telnetLayer) {
  if (divertedUpward(b)) return;
  if (!receiveEightBit) b &= 0x7F;
  if (terminalHooks.captureOn()) terminalHooks.captureByte(b);
  if (b == 0xFF && telnetLayer) {
    terminalHooks.telnetCommandStart();
    return;
  }
  if (b == 0x18) zmodemCancelCheck();
  if (b < 0x20) {
    for (const char* name = controlNames[b]; *name; ++name) visibleCell(static_cast<uint8_t>(*name));
  } else if (b == 0x7F) {
    for (const char* name = "<del>"; *name; ++name) visibleCell(static_cast<uint8_t>(*name));
  } else {
    visibleCell(b);
    if (terminalHooks.scriptRunning()) terminalHooks.scriptLineMatch(lineAt(screen.row).cells, cursorCell());
  }
}

static void visibleBytes(const uint8_t* bytes, int length, bool telnetLayer) {
  surfaceShowCaret(false);
  returnToLive();
  for (int i = 0; i < length; ++i) visibleByte(bytes[i], telnetLayer);
  moveCaretToCursor();
  surfaceShowCaret(true);
  if (terminalOptions.zmodemAutoStart && terminalHooks.zmodemCaptureActive()) terminalHooks.zmodemAutoStartCheck();
}

void processControlsVisible(const uint8_t* bytes, int length) {
  visibleBytes(bytes, length, terminalOptions.telnet);
}

void processControlsVisibleData(uint8_t b) { visibleBytes(&b, 1, false); }
