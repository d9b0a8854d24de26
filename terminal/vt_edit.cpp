// Inserting and deleting characters and lines, the scroll region and the
// region scrolls of index and reverse index.
#include <algorithm>
#include <cstring>

#include "terminal/emulator.h"
#include "terminal/screen.h"
#include "terminal/surface.h"
#include "terminal/vt_handlers.h"

void scrollRegionOnWindowUp() {
  scrollRowsOnWindow(screen.scrollTop - 1, screen.scrollBottom - 1, -1);
  scrollRegionUp();
}

void scrollRegionOnWindowDown() {
  scrollRowsOnWindow(screen.scrollTop - 1, screen.scrollBottom - 1, 1);
  scrollRegionDown();
}

void deleteCharactersAtCursor(int n) {
  ScreenBuffer& s = screen;
  int cell = cursorCell();
  ScreenLine& line = lineAt(s.row);
  uint8_t* attrs = attributesAt(s.row);
  int used = line.used;
  n = std::min(n, used - cell);
  if (n <= 0) return;
  int y = cellY(s.row);
  surfaceScroll(std::max(0, cellX(cell)), y, s.textRight, y + s.cellHeight, -n * s.cellWidth, 0);
  surfaceFill(std::max(0, s.textRight - n * s.cellWidth), y, s.textRight, y + s.cellHeight);
  std::memmove(line.cells + cell, line.cells + cell + n, used - cell - n);
  std::memmove(attrs + cell, attrs + cell + n, used - cell - n);
  std::memset(line.cells + used - n, ' ', n);
  std::memset(attrs + used - n, 0, n);
  line.used = static_cast<int16_t>(used - n);
}

// An explicit 0 deletes one character, as for an omitted count.
void deleteCharacters(const Sequence& q) { deleteCharactersAtCursor(std::max(1, countOrOne(q))); }

void insertBlanksAtCursor(int n, int limit) {
  ScreenBuffer& s = screen;
  int cell = cursorCell();
  ScreenLine& line = lineAt(s.row);
  uint8_t* attrs = attributesAt(s.row);
  n = std::min(n, limit - cell);
  if (n <= 0) return;
  int y = cellY(s.row);
  int right = s.horizontalOffset == 0 ? std::min(cellX(limit), s.textRight) : s.textRight;
  int left = std::max(0, cellX(cell));
  if (left < right) {
    surfaceScroll(left, y, right, y + s.cellHeight, n * s.cellWidth, 0);
    surfaceFill(left, y, std::min(right, left + n * s.cellWidth), y + s.cellHeight);
  }
  std::memmove(line.cells + cell + n, line.cells + cell, limit - cell - n);
  std::memmove(attrs + cell + n, attrs + cell, limit - cell - n);
  std::memset(line.cells + cell, ' ', n);
  std::memset(attrs + cell, 0, n);
  if (line.used > cell) line.used = static_cast<int16_t>(std::min<int>(line.used + n, limit));
}

void insertCharacters(const Sequence& q) {
  int n = countOrOne(q);
  if (n < 1) return;
  int cell = cursorCell();
  const ScreenLine& line = lineAt(screen.row);
  // The row ends at the last column, or at the line's end for a cursor (or
  // text) already past it; never more cells than are left in the row.
  int limit = (cell < screen.columns && line.used <= screen.columns) ? screen.columns : LINE_CELLS;
  insertBlanksAtCursor(n, limit);
}

void insertLinesOnWindow(int n) {
  ScreenBuffer& s = screen;
  n = std::min(n, s.scrollBottom - s.row);
  if (n <= 0) return;
  scrollRowsOnWindow(s.row, s.scrollBottom - 1, n);
  insertLines(s.row, n);
}

void deleteLinesOnWindow(int n) {
  ScreenBuffer& s = screen;
  n = std::min(n, s.scrollBottom - s.row);
  if (n <= 0) return;
  scrollRowsOnWindow(s.row, s.scrollBottom - 1, -n);
  deleteLines(s.row, n);
}

void insertLinesAtCursor(const Sequence& q) {
  if (q.length == 1) return;  // ESC L alone
  insertLinesOnWindow(countOrOne(q));
}

void deleteLinesOrReverseIndex(const Sequence& q) {
  if (q.length == 1) {
    reverseIndex();
    return;
  }
  deleteLinesOnWindow(countOrOne(q));
}

void setScrollRegion(const Sequence& q) {
  ScreenBuffer& s = screen;
  int top = 1, bottom = s.rows;
  const char* p = q.p;
  const char* semicolon = findSemicolon(p);
  if (*p == '\0' || (p[0] == ';' && p[1] == '\0')) {
    // full screen
  } else if (*p == ';') {
    bottom = leadingNumber(p + 1);
  } else if (semicolon) {
    top = leadingNumber(p);
    bottom = leadingNumber(semicolon + 1);
  } else {
    top = leadingNumber(p);
  }
  if (bottom < 1 || bottom > s.rows) bottom = s.rows;
  if (top < 1 || top > s.rows) top = 1;
  // Top and bottom are not compared: a region upside down is kept as sent.
  // Every region operation copies nothing then and only clears its edge row.
  s.scrollTop = top;
  s.scrollBottom = bottom;
  s.column = 0;
  s.row = 0;
  moveCaretToCursor();
}
