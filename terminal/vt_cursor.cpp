// Cursor movement, index and saved cursors.
#include <algorithm>
#include <cstring>

#include "terminal/emulator.h"
#include "terminal/screen.h"
#include "terminal/vt_handlers.h"

static int lastRow() { return screen.rows - 1; }
static int lastColumn() { return screen.columns - 1; }

void cursorUp(const Sequence& q) {
  if (q.length == 1) return;  // ESC A alone
  screen.row = std::max(0, screen.row - countDefaultOne(q));
  moveCaretToCursor();
}

void cursorDown(const Sequence& q) {
  if (q.length == 1) return;  // ESC B alone
  int n;
  if (q.length == 2) {
    switch (q.s[0]) {
      case '(': emulator.g0Graphics = false; return;
      case ')': emulator.g1Graphics = false; return;
      case '[': case 'O': n = 1; break;
      default: return;
    }
  } else {
    n = leadingNumber(q.p);
  }
  screen.row = std::min(lastRow(), screen.row + n);
  moveCaretToCursor();
}

void cursorRight(const Sequence& q) {
  int column = screen.column + countDefaultOne(q);
  if (emulator.autowrap && column > lastColumn()) {
    int down = column / screen.columns;
    column %= screen.columns;
    screen.row = std::min(lastRow(), screen.row + down);
  }
  screen.column = std::min(column, lastColumn());
  moveCaretToCursor();
}

void indexDown() {
  if (screen.row == screen.scrollBottom - 1) {
    scrollRegionOnWindowUp();
  } else {
    screen.row = std::min(lastRow(), screen.row + 1);
  }
  moveCaretToCursor();
}

void reverseIndex() {
  if (screen.row == screen.scrollTop - 1) {
    scrollRegionOnWindowDown();
  } else {
    screen.row = std::max(0, screen.row - 1);
  }
  moveCaretToCursor();
}

void nextLine() {
  screen.column = 0;
  indexDown();
}

void cursorLeftOrIndex(const Sequence& q) {
  if (q.length == 1) {
    indexDown();
    return;
  }
  screen.column = std::max(0, screen.column - countDefaultOne(q));
  moveCaretToCursor();
}

void cursorPosition(const Sequence& q) {
  int row = 1, column = 1;
  const char* p = q.p;
  const char* semicolon = findSemicolon(p);
  if (*p == '\0' || (p[0] == ';' && p[1] == '\0')) {
    // home
  } else if (*p == ';') {
    column = leadingNumber(p + 1);
  } else if (semicolon) {
    row = leadingNumber(p);
    if (semicolon[1] >= '0' && semicolon[1] <= '9') column = leadingNumber(semicolon + 1);
  } else {
    row = leadingNumber(p);
  }
  screen.row = std::clamp(row, 1, screen.rows) - 1;
  screen.column = std::clamp(column, 1, screen.columns) - 1;
  moveCaretToCursor();
}

// Saved positions are clamped on restore: the screen may have shrunk since.
static void restore(int column, int row) {
  screen.row = std::clamp(row, 0, lastRow());
  screen.column = std::clamp(column, 0, LINE_CELLS);
  moveCaretToCursor();
}

void saveCursorA() {
  emulator.savedAColumn = screen.column;
  emulator.savedARow = screen.row;
}
void restoreCursorA() { restore(emulator.savedAColumn, emulator.savedARow); }
void saveCursorB() {
  emulator.savedBColumn = screen.column;
  emulator.savedBRow = screen.row;
}
void restoreCursorB() { restore(emulator.savedBColumn, emulator.savedBRow); }
