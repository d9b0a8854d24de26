// Row operations of the screen buffer: clearing, copying, scrolling the region,
// inserting and deleting lines, erasing, storing a character.
#include <algorithm>
#include <cstring>

#include "terminal/screen.h"
#include "terminal/surface.h"


void moveCaretToCursor() {
  if (cursorInView()) surfaceMoveCaret(cellX(screen.column), cellY(screen.row));
}

void scrollRowsOnWindow(int first, int last, int dy) {
  if (first > last || dy == 0) return;
  ScreenBuffer& s = screen;
  int top = cellY(first), bottom = cellY(last + 1);
  surfaceScroll(0, top, s.textRight, bottom, 0, dy * s.cellHeight);
  // The strip uncovered by the scroll shows blank lines.
  int strip = std::min(std::abs(dy), last - first + 1) * s.cellHeight;
  if (dy < 0) surfaceFill(0, bottom - strip, s.textRight, bottom);
  else surfaceFill(0, top, s.textRight, top + strip);
}

static void clearLine(int line) {
  ScreenLine& l = screen.text[line];
  l.used = 0;
  fillCells(l.cells, ' ', LINE_CELLS);
  fillCells(&screen.attributes[static_cast<size_t>(line) * LINE_CELLS], 0, LINE_CELLS);
}

void clearRow(int row) { clearLine(lineOfRow(row)); }

// The destination takes the source's used cells; its cells past them are
// blanked so that no stale text reappears when its used length grows later.
// Cells past a line's used length always hold spaces, so only the part of the
// destination that was in use needs blanking.
void copyRow(int from, int to) {
  ScreenLine& src = lineAt(from);
  ScreenLine& dst = lineAt(to);
  int used = std::clamp<int>(src.used, 0, LINE_CELLS);
  int oldUsed = std::clamp<int>(dst.used, 0, LINE_CELLS);
  uint8_t* srcAttr = attributesAt(from);
  uint8_t* dstAttr = attributesAt(to);
  dst.used = static_cast<int16_t>(used);
  std::memcpy(dst.cells, src.cells, used);
  std::memcpy(dstAttr, srcAttr, used);
  if (oldUsed > used) {
    std::memset(dst.cells + used, ' ', oldUsed - used);
    std::memset(dstAttr + used, 0, oldUsed - used);
  }
}

static bool fullScreenRegion() { return screen.scrollTop == 1 && screen.scrollBottom == screen.rows; }

// Rotates the lines of live rows first..last (inclusive) by n rows: up when n
// is positive (row first + n comes to row first), down when negative. Only the
// row-to-line entries move; the cells stay in their lines.
static void rotateRows(int first, int last, int n) {
  ScreenBuffer& s = screen;
  first = std::max(first, 0);
  last = std::min(last, s.rows - 1);
  int span = last - first + 1;
  if (span <= 1 || n == 0) return;
  n = ((n % span) + span) % span;
  std::rotate(s.liveOrder + first, s.liveOrder + first + n, s.liveOrder + last + 1);
  s.liveReordered = true;
  // On the live screen the view rows' lines turn the same way.
  if (s.screenTop == s.liveTop) std::rotate(s.rowLine + first, s.rowLine + first + n, s.rowLine + last + 1);
  else updateRowLines();
}

void scrollRegionUp() {
  ScreenBuffer& s = screen;
  if (fullScreenRegion()) {
    advanceRing();
    clearRow(s.rows - 1);
    return;
  }
  rotateRows(s.scrollTop - 1, s.scrollBottom - 1, 1);
  clearRow(s.scrollBottom - 1);
}

void scrollRegionDown() {
  ScreenBuffer& s = screen;
  rotateRows(s.scrollTop - 1, s.scrollBottom - 1, -1);
  clearRow(s.scrollTop - 1);
}

void lineFeed() {
  ScreenBuffer& s = screen;
  if (s.row == s.scrollBottom - 1) {
    scrollRowsOnWindow(s.scrollTop - 1, s.scrollBottom - 1, -1);
    scrollRegionUp();
  } else if (s.row < s.rows - 1) {
    ++s.row;
  }
}

void insertLines(int row, int n) {
  ScreenBuffer& s = screen;
  if (row < 0 || row >= s.rows) return;
  n = std::min(n, s.scrollBottom - row);
  if (n <= 0) return;
  rotateRows(row, s.scrollBottom - 1, -n);
  for (int i = row; i < row + n; ++i) clearRow(i);
}

void deleteLines(int row, int n) {
  ScreenBuffer& s = screen;
  if (row < 0 || row >= s.rows) return;
  n = std::min(n, s.scrollBottom - row);
  if (n <= 0) return;
  rotateRows(row, s.scrollBottom - 1, n);
  for (int i = std::max(row, s.scrollBottom - n); i < s.scrollBottom; ++i) clearRow(i);
}

void eraseToEndOfLine(int row, int column) {
  ScreenBuffer& s = screen;
  column = std::clamp(column, 0, LINE_CELLS);
  surfaceFill(std::max(0, cellX(column)), cellY(row), s.textRight, cellY(row + 1));
  ScreenLine& l = lineAt(row);
  l.used = static_cast<int16_t>(column);
  fillCells(l.cells + column, ' ', LINE_CELLS - column);
  fillCells(attributesAt(row) + column, 0, LINE_CELLS - column);
}

// The used length is kept, so the cells right of the cursor stay drawable.
void eraseToStartOfLine(int row, int column) {
  column = std::clamp(column, 0, LINE_CELLS);
  int x = cellX(column);
  if (x > 0) surfaceFill(0, cellY(row), x, cellY(row + 1));
  fillCells(lineAt(row).cells, ' ', column);
  fillCells(attributesAt(row), 0, column);
}

void clearScreen() {
  ScreenBuffer& s = screen;
  s.column = 0;
  s.row = 0;
  surfaceFill(0, s.textTop, s.textRight, cellY(s.rows));
  for (int i = 0; i < s.rows; ++i) advanceRing();
  for (int r = 0; r < s.rows; ++r) eraseToEndOfLine(r, 0);
}

void putCell(uint8_t ch) {
  ScreenBuffer& s = screen;
  int cell = cursorCell();
  ScreenLine& l = lineAt(s.row);
  l.cells[cell] = ch;
  attributesAt(s.row)[cell] = s.attribute;
  if (s.column < LINE_CELLS) ++s.column;
  if (l.used < cell + 1) l.used = static_cast<int16_t>(cell + 1);
}
