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
      eraseBelowCursor();
      break;
    default:
      return;
  }
  moveCaretToCursor();
}

void eraseBelowCursor() {
  eraseToEndOfLine(screen.row, screen.column);
  for (int r = screen.row + 1; r < screen.rows; ++r) eraseToEndOfLine(r, 0);
}

void drawSpaces(int row, int from, int to) {
  uint32_t text, back;
  cellColours(screen.attribute, emulator.emulation, &text, &back);
  for (int c = std::max(from, screen.horizontalOffset); c < to; ++c) surfaceDrawCell(cellX(c), cellY(row), ' ', text, back);
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
      drawSpaces(s.row, 0, cell);
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
