#include "terminal/display_damage.h"

#include <algorithm>

#include "terminal/display.h"
#include "terminal/screen.h"

namespace {
struct Damage {
  bool deferring = false;
  bool inBlock = false;
  bool held = false;
  bool pending = false;
  // Geometry when the notes started: rows of another height or place cannot be moved.
  int rows = 0, cellHeight = 0, textTop = 0;
  // source[r]: the row the window showed when the notes started whose pixels
  // belong at view row r now, or -1 when row r must be repainted.
  int source[MAX_ROWS];
};
Damage d;

void forget() {
  d.pending = false;
  d.rows = screen.rows;
  d.cellHeight = screen.cellHeight;
  d.textTop = screen.textTop;
  for (int r = 0; r < MAX_ROWS; ++r) d.source[r] = r;
}

void markAll() {
  d.pending = true;
  std::fill(std::begin(d.source), std::end(d.source), -1);
}

bool noting() {
  if (d.deferring && (d.inBlock || d.held)) {
    if (!d.pending) forget();
    d.pending = true;
    return true;
  }
  // A change drawn at once while notes wait: the window no longer shows what
  // the notes start from, so nothing of it may be moved.
  if (d.pending) markAll();
  return false;
}

// View rows that pixels top..bottom (exclusive) cover, clamped to the screen.
bool rowsOf(int top, int bottom, int* first, int* last) {
  int h = std::max(1, screen.cellHeight);
  *first = std::max(0, (top - screen.textTop) / h);
  *last = std::min(screen.rows - 1, (bottom - 1 - screen.textTop) / h);
  return bottom > top && *first <= *last;
}

void markRows(int top, int bottom) {
  int first, last;
  if (!rowsOf(top, bottom, &first, &last)) return;
  for (int r = first; r <= last; ++r) d.source[r] = -1;
}
}  // namespace

void damageDefer(bool on) {
  bool inBlock = d.inBlock, held = d.held;
  d = Damage{};
  d.deferring = on;
  d.inBlock = inBlock && on;
  d.held = held && on;
  forget();
}

bool damageRect(int, int top, int, int bottom) {
  if (!noting()) return false;
  markRows(top, bottom);
  return true;
}

bool damageScroll(int left, int top, int right, int bottom, int dx, int dy) {
  if (!noting()) return false;
  int h = std::max(1, screen.cellHeight);
  int first, last;
  // Only whole rows moving up or down can be moved on the window later; a
  // shift within a row repaints the row.
  if (dx != 0 || left > 0 || right < screen.textRight || dy % h != 0 || !rowsOf(top, bottom, &first, &last)) {
    markRows(top, bottom);
    return true;
  }
  int k = dy / h;
  int moved[MAX_ROWS];
  for (int r = first; r <= last; ++r) {
    int from = r - k;
    moved[r] = from >= first && from <= last ? d.source[from] : -1;
  }
  std::copy(moved + first, moved + last + 1, d.source + first);
  return true;
}

bool damageAll() {
  if (!noting()) return false;
  markAll();
  return true;
}

bool damageBlock(bool starts) {
  if (!d.deferring) return false;
  d.inBlock = starts;
  return !starts && !d.held && d.pending;
}

bool damageHold(bool held) {
  d.held = held && d.deferring;
  return !held && !d.inBlock && d.pending;
}

bool damagePending() { return d.pending; }

void damageShow(void (*scroll)(int top, int bottom, int dy), void (*repaint)(int top, int bottom)) {
  if (!d.pending) return;
  const ScreenBuffer& s = screen;
  int rows = s.rows;
  if (rows != d.rows || s.cellHeight != d.cellHeight || s.textTop != d.textTop) {
    // A new geometry: the whole window, the area below the rows included.
    repaint(0, 1 << 30);
    forget();
    display.paintHint = PAINT_ALL;
    return;
  }
  // Rows that moved by one common offset are scrolled into place on the
  // window; moves by different offsets are repainted instead.
  int k = 0, lo = rows, hi = -1;
  bool mixed = false;
  for (int r = 0; r < rows; ++r) {
    int from = d.source[r];
    if (from < 0 || from == r) continue;
    if (hi < 0) k = from - r;
    else if (from - r != k) mixed = true;
    lo = std::min({lo, r, from});
    hi = std::max({hi, r, from});
  }
  if (mixed) {
    for (int r = 0; r < rows; ++r)
      if (d.source[r] != r) d.source[r] = -1;
  } else if (hi >= 0) {
    scroll(cellY(lo), cellY(hi + 1), -k * s.cellHeight);
    // Everything in the scrolled band that was not the moved rows is overwritten.
    for (int r = lo; r <= hi; ++r) d.source[r] = d.source[r] >= 0 && d.source[r] == r + k ? r : -1;
  }
  for (int r = 0; r < rows;) {
    if (d.source[r] == r) {
      ++r;
      continue;
    }
    int end = r;
    while (end < rows && d.source[end] != end) ++end;
    repaint(cellY(r), cellY(end));
    r = end;
  }
  forget();
  display.paintHint = PAINT_ALL;
}
