// The selection plane: one mark per cell of every ring line, so a selection
// stays on its text while the view scrolls; and the text it covers.
#include <algorithm>
#include <cstring>

#include "terminal/display.h"
#include "terminal/screen.h"

void clearSelection() {
  std::fill(screen.marks.begin(), screen.marks.end(), 0);
  display.selectionExists = false;
}

void selectAll() {
  std::fill(screen.marks.begin(), screen.marks.end(), 1);
  display.selectionExists = !screen.marks.empty();
}

int toggleCells(int row, int from, int to) {
  if (row < 0 || row >= screen.rows || screen.marks.empty()) return 0;
  if (from > to) std::swap(from, to);
  from = std::clamp(from, 0, LINE_CELLS);
  to = std::clamp(to, 0, LINE_CELLS);
  uint8_t* m = &screen.marks[static_cast<size_t>(lineOfRow(row)) * LINE_CELLS];
  for (int c = from; c < to; ++c) m[c] ^= 1;
  return to - from;
}

void extendSelection(int column, int row, int* firstRow, int* lastRow) {
  DisplayState& d = display;
  row = std::clamp(row, 0, std::max(0, screen.rows - 1));
  column = std::clamp(column, 0, LINE_CELLS);
  int r0 = d.lastRow, c0 = d.lastColumn;
  *firstRow = std::min(r0, row);
  *lastRow = std::max(r0, row);
  if (row == r0) {
    toggleCells(row, c0, column);
  } else if (row > r0) {
    // Downwards: the rest of the last row, whole rows between, the new row up to x.
    toggleCells(r0, c0, LINE_CELLS);
    for (int r = r0 + 1; r < row; ++r) toggleCells(r, 0, LINE_CELLS);
    toggleCells(row, 0, column);
  } else {
    toggleCells(r0, 0, c0);
    for (int r = row + 1; r < r0; ++r) toggleCells(r, 0, LINE_CELLS);
    toggleCells(row, column, LINE_CELLS);
  }
  d.lastRow = row;
  d.lastColumn = column;
  d.selectionExists = true;
}

// A word: characters other than blanks and the marks that usually surround
// words in text (quotes, brackets, commas, semicolons, bars).
static bool wordCharacter(uint8_t c) { return c > ' ' && !std::strchr("\"'`()[]{}<>,;|", c); }

bool selectWordAt(int column, int row) {
  clearSelection();
  if (row < 0 || row >= screen.rows || screen.marks.empty()) return false;
  const ScreenLine& l = lineAt(row);
  int used = std::clamp<int>(l.used, 0, LINE_CELLS);
  if (column < 0 || column >= used || !wordCharacter(l.cells[column])) return false;
  int from = column, to = column + 1;
  while (from > 0 && wordCharacter(l.cells[from - 1])) --from;
  while (to < used && wordCharacter(l.cells[to])) ++to;
  toggleCells(row, from, to);
  display.selectionExists = true;
  return true;
}

std::string selectionText() {
  std::string out;
  if (!display.selectionExists || screen.capacity <= 0) return out;
  for (int k = 0; k < screen.capacity; ++k) {
    int line = lineAtOffset(k);
    const uint8_t* m = &screen.marks[static_cast<size_t>(line) * LINE_CELLS];
    const ScreenLine& l = screen.text[line];
    int used = std::clamp<int>(l.used, 0, LINE_CELLS);
    bool any = false;
    for (int c = 0; c < LINE_CELLS && !any; ++c) any = m[c] != 0;
    if (!any) continue;
    for (int c = 0; c < used; ++c)
      if (m[c]) out += static_cast<char>(l.cells[c]);
    out += "\r\n";
  }
  if (out.size() >= 2) out.resize(out.size() - 2);
  return out;
}
