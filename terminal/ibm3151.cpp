// The IBM 3151 emulation: its escape-sequence collector, which the receive
// path calls for every byte of a sequence after appending it to the buffer,
// and its interpreter.
#include <cstdint>

#include "terminal/emulator.h"
#include "terminal/other_emulations.h"
#include "terminal/screen.h"
#include "terminal/vt_handlers.h"

void collectIbmByte(uint8_t b) {
  if (takeAddressByte(b)) return;
  switch (b) {
    case 0x1B: case 'S':  // S restarts too, and is dropped
      startSequence();
      return;
    case '@':  // the next ESC > B resets the rendition
      emulator.ibmAttributeReset = true;
      endSequence();
      return;
    case 'Y':  // direct cursor address: two bytes follow
      armAddressMode();
      return;
    case 'A': case 'B': case 'C': case 'D': case 'H': case 'I': case 'J': case 'K':
    case 'N': case 'O': case 'Q': case 'a': case 'b':
      finishAndInterpret(dispatchIbm);
      return;
    default:
      return;
  }
}

// ESC 4 x a: the rendition byte x as a VT family rendition number.
static int renditionOf(uint8_t x) {
  switch (x) {
    case 0x21: return 7;                        // reverse
    case 0x22: case 0x24: case 0x28: return 1;  // bold
    case 0x50: return 8;                        // invisible
    default: return -1;
  }
}

// ESC B moves down; ESC > B resets the rendition once ESC @ allowed it.
static void downOrReset(const uint8_t* text, int length) {
  if (length == 1) {
    cursorDownOne();
  } else if (length == 2 && text[0] == '>' && emulator.ibmAttributeReset) {
    setRendition(0);
    emulator.ibmAttributeReset = false;
  }
}

void dispatchIbm(const uint8_t* text, int length) {
  if (length < 1) return;
  uint8_t final = text[length - 1];
  bool renditionForm = length == 3 && text[0] == '4';
  switch (final) {
    case 'A': cursorUpOne(); break;                       // cursor up
    case 'B': downOrReset(text, length); return;          // keeps the reset flag
    case 'C': cursorRightOne(); break;                    // cursor right
    case 'D': cursorLeftOne(); break;                     // cursor left
    case 'H': cursorHome(); break;                        // cursor home
    case 'I': eraseLineDrawn(); break;                    // erase to end of line
    case 'J': eraseScreenFromCursor(screen.rows); break;  // erase to end of screen
    case 'Q': deleteCharacterIfFollowed(); break;         // delete character
    case 'O': deleteLinesOnWindow(1); break;              // delete line
    case 'N': insertLinesOnWindow(1); break;              // insert line
    case 'a':                                             // set rendition
      if (renditionForm && renditionOf(text[1]) >= 0) setRendition(renditionOf(text[1]));
      break;
    case 'b':                                             // rendition off
      if (renditionForm && (text[1] == '=' || text[1] == '>')) setRendition(0);
      break;
    case 'K':                                             // clear screen
      clearScreen();
      moveCaretToCursor();
      break;
    default: break;
  }
  emulator.ibmAttributeReset = false;
}
