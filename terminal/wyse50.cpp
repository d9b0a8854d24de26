// The Wyse 50 emulation: one function collects and interprets its escape
// sequences. The receive path calls it for every byte of a sequence after
// appending it to the buffer; the single-byte controls are the receive
// path's own.
#include <cstdint>

#include "terminal/emulator.h"
#include "terminal/other_emulations.h"
#include "terminal/screen.h"
#include "terminal/vt_handlers.h"

// Back tab: the nearest multiple of 8 at or left of the cursor.
static void backTab() {
  screen.column = screen.column / 8 * 8;
  moveCaretToCursor();
}

// Whether b ended the sequence (after acting on it); false: collect on.
static bool act(uint8_t b, bool afterG) {
  switch (b) {
    case '(': case '1': case '6': case '7': case '9': case ':': case 'C': case 'F':
      return true;
    case '*': case '+':  // clear the screen, cursor home
      clearScreen();
      moveCaretToCursor();
      return true;
    case '0':  // ESC G 0: normal rendition
      if (afterG) setRendition(0);
      return true;
    case '4': case '8':  // ESC G 4, ESC G 8: reverse and blink show as bright
      if (!afterG) return false;
      setRendition(1);
      return true;
    case 'T': case 't':  // ESC G T: bright; ESC T: erase to end of line
      if (afterG) setRendition(1);
      else eraseToEndOfLine(screen.row, screen.column);
      return true;
    case 'E': case 'e': insertLinesOnWindow(1); return true;  // insert line
    case 'R': deleteLinesOnWindow(1); return true;            // delete line
    case 'Q': insertBlanksAtCursor(1, LINE_CELLS); return true;  // insert character
    case 'W': case 'w': deleteCharacterIfFollowed(); return true;  // delete character
    case 'Y': case 'y': eraseBelowCursor(); return true;      // erase to end of screen
    case 'I': case 'i': backTab(); return true;
    case 'j': scrollRegionOnWindowDown(); return true;        // reverse line feed, cursor stays
    case 'q': emulator.insertMode = true; return true;
    case 'r': emulator.insertMode = false; return true;
    default: return false;
  }
}

void collectWyseByte(uint8_t b) {
  if (takeAddressByte(b)) return;
  if (b == 0x1B) {
    startSequence();
    return;
  }
  if (b == '=') {  // direct cursor address: two bytes follow
    armAddressMode();
    return;
  }
  // The rendition digits count only right after ESC G.
  bool afterG = emulator.count == 3 && emulator.sequence[1] == 'G';
  if (act(b, afterG)) endSequence();
}
