// The VT52 emulation: its escape-sequence collector, which the receive path
// calls for every byte of a sequence after appending it to the buffer, and
// its interpreter.
#include <cstdint>

#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/other_emulations.h"
#include "terminal/screen.h"

void collectVt52Byte(uint8_t b) {
  if (takeAddressByte(b)) return;
  switch (b) {
    case 0x1B:
      startSequence();
      return;
    case 'Y':  // direct cursor address: two bytes follow
      armAddressMode();
      return;
    case '=':  // keypad application mode
      emulator.keypadApplication = true;
      endSequence();
      return;
    case '>':  // keypad numeric mode
      emulator.keypadApplication = false;
      endSequence();
      return;
    case '<': case 'V': case ']': case '^': case '_':
      endSequence();
      return;
    case 'A': case 'B': case 'C': case 'D': case 'H': case 'I': case 'J': case 'K':
    case 'W': case 'X': case 'Z':
      finishAndInterpret(dispatchVt52);
      return;
    default:
      return;
  }
}

void dispatchVt52(const uint8_t* text, int length) {
  if (length < 1) return;
  switch (text[length - 1]) {
    case 'A': cursorUpOne(); break;      // cursor up
    case 'B': cursorDownOne(); break;    // cursor down
    case 'C': cursorRightOne(); break;   // cursor right
    case 'D': cursorLeftOne(); break;    // cursor left
    case 'H': cursorHome(); break;       // cursor home
    case 'I': reverseLineFeed(); break;  // reverse line feed
    case 'J':                            // erase to end of screen
      eraseScreenFromCursor(screen.scrollBottom - screen.scrollTop + 1);
      break;
    case 'K': eraseLineDrawn(); break;   // erase to end of line
    case 'Z': sendReply("\033/Z"); break;  // identify
    case 'W':                            // enter transparent printing
      if (terminalHooks.transparentPrintSetting()) terminalHooks.transparentPrintStart();
      break;
    case 'X':                            // exit transparent printing
      if (terminalHooks.transparentPrinting()) terminalHooks.transparentPrintStop();
      break;
    default: break;
  }
}
