// Erasing the display, the line and characters; selective erase.
#include <algorithm>
#include <cstring>

#include "terminal/colours.h"
#include "terminal/emulator.h"
#include "terminal/screen.h"
#include "terminal/surface.h"
#include "terminal/vt_handlers.h"

// The digit that selects the erase, or -1 when a selective erase is not allowed.
static int eraseDigit(const Sequence& q) {
  if (q.s[1] == '?') return emulator.erasable ? q.s[2] : -1;
  return q.s[1];
}

void eraseInDisplay(const Sequence& q) {
  int digit = eraseDigit(q);
  ScreenBuffer& s = screen;
  switch (digit) {
    case '2':  // whole screen: the old one goes into the scrollback
      clearScreen();
      break;
    case '1':  // start of the screen to the cursor
      for (int r = 0; r < s.row; ++r) eraseToEndOfLine(r, 0);
      eraseToStartOfLine(s.row, cursorCell());
      break;
    case '0': case '\0':  // cursor to the end of the screen
      if (s.row == 0 && s.column == 0) clearScreen();
      eraseToEndOfLine(s.row, s.column);
      for (int r = s.row + 1; r < s.rows; ++r) eraseToEndOfLine(r, 0);
      break;
    default:
      return;
  }
  moveCaretToCursor();
}

void eraseInLine(const Sequence& q) {
  int digit = eraseDigit(q);
  ScreenBuffer& s = screen;
  switch (digit) {
    case '0': case '\0':
      eraseToEndOfLine(s.row, s.column);
      break;
    case '1': {
      int cell = cursorCell();
      eraseToStartOfLine(s.row, cell);
      uint32_t text, back;
      cellColours(s.attribute, emulator.emulation, &text, &back);
      for (int c = std::max(0, s.horizontalOffset); c < cell; ++c)
        surfaceDrawCell(cellX(c), cellY(s.row), ' ', text, back);
      break;
    }
    case '2':
      eraseToEndOfLine(s.row, 0);
      break;
    default:
      break;
  }
}

void eraseCharacters(const Sequence& q) {
  int cell = cursorCell();
  int n = std::min(countOrOne(q), LINE_CELLS - cell);
  if (n <= 0) return;
  std::memset(lineAt(screen.row).cells + cell, ' ', n);
  std::memset(attributesAt(screen.row) + cell, 0, n);
}

void characterProtection(const Sequence& q) {
  if (q.s[0] != '[') return;
  const char* p = q.p;
  if (!std::strcmp(p, "\"") || !std::strcmp(p, "0\"") || !std::strcmp(p, "2\"")) emulator.erasable = true;
  else if (!std::strcmp(p, "1\"")) emulator.erasable = false;
}
