// The VT52's one-cell cursor moves and its erasures; the IBM 3151 uses the
// same ones.
#include <algorithm>

#include "terminal/emulator.h"
#include "terminal/other_emulations.h"
#include "terminal/screen.h"
#include "terminal/vt_handlers.h"

// Down one row without scrolling: the region bottom stops it, and a cursor
// below the region stops on the last row.
static void downOneRow() {
  if (screen.row != screen.scrollBottom - 1 && screen.row < screen.rows - 1) ++screen.row;
}

void cursorUpOne() {
  screen.row = std::max(0, screen.row - 1);
  moveCaretToCursor();
}

void cursorDownOne() {
  downOneRow();
  moveCaretToCursor();
}

void cursorRightOne() {
  ScreenBuffer& s = screen;
  if (s.column < s.columns - 1) {
    ++s.column;
  } else if (emulator.autowrap) {
    s.column = 0;
    downOneRow();
  } else if (s.column < LAST_CELL) {
    ++s.column;
  }
  moveCaretToCursor();
}

void cursorLeftOne() {
  screen.column = std::max(0, screen.column - 1);
  moveCaretToCursor();
}

void cursorHome() {
  screen.column = 0;
  screen.row = 0;
  moveCaretToCursor();
}

void reverseLineFeed() {
  if (screen.row == 0) scrollRegionOnWindowDown();
  else --screen.row;
  moveCaretToCursor();
}

void eraseLineDrawn() {
  ScreenBuffer& s = screen;
  int shownEnd = s.horizontalOffset + (s.textRight + s.cellWidth - 1) / s.cellWidth;
  drawSpaces(s.row, s.column, std::min(shownEnd, LINE_CELLS));
  eraseToEndOfLine(s.row, s.column);
}

void eraseScreenFromCursor(int homeLines) {
  if (screen.row == 0 && screen.column == 0)
    for (int i = 0; i < homeLines; ++i) advanceRing();
  eraseBelowCursor();
  moveCaretToCursor();
}

void deleteCharacterIfFollowed() {
  if (lineAt(screen.row).used - cursorCell() > 1) deleteCharactersAtCursor(1);
}

void setRendition(int n) { screen.attribute = applyRendition(screen.attribute, n); }
