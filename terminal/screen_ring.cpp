// The ring of lines: allocation, advancing, scrollback viewing, height changes.
#include <algorithm>
#include <new>

#include "terminal/hooks.h"
#include "terminal/screen.h"
#include "terminal/surface.h"

ScreenBuffer screen;

static int wrapIndex(int i, int capacity) {
  i %= capacity;
  return i < 0 ? i + capacity : i;
}

// Lines from a to b going forward round the ring.
static int distance(int a, int b) { return wrapIndex(b - a, screen.capacity); }

void updateRowLines() {
  ScreenBuffer& s = screen;
  int capacity = s.capacity;
  if (capacity <= 0) return;
  // Runs after every line feed: no division, and rows past the screen keep
  // their earlier (still valid) ring indices.
  int line = s.screenTop;
  int k = s.screenTop - s.liveTop;
  if (k < 0) k += capacity;
  for (int r = 0; r < s.rows; ++r) {
    int shown = line;
    if (k < s.rows) {
      shown = s.liveTop + s.liveOrder[k];
      if (shown >= capacity) shown -= capacity;
    }
    s.rowLine[r] = shown;
    if (++line == capacity) line = 0;
    if (++k == capacity) k = 0;
  }
}

static void fillRowLinesPastScreen() {
  for (int r = screen.rows; r < MAX_ROWS; ++r) screen.rowLine[r] = wrapIndex(screen.screenTop + r, screen.capacity);
}

int lineAtOffset(int offset) {
  ScreenBuffer& s = screen;
  int i = wrapIndex(s.oldest + offset, s.capacity);
  int k = distance(s.liveTop, i);
  return k < s.rows ? wrapIndex(s.liveTop + s.liveOrder[k], s.capacity) : i;
}

static void resetLiveOrder() {
  for (int r = 0; r < MAX_ROWS; ++r) screen.liveOrder[r] = static_cast<uint8_t>(r);
  screen.liveReordered = false;
}

// Exchanges two ring lines with their attributes and selection marks.
static void swapLines(int a, int b) {
  ScreenBuffer& s = screen;
  std::swap(s.text[a], s.text[b]);
  size_t pa = static_cast<size_t>(a) * LINE_CELLS, pb = static_cast<size_t>(b) * LINE_CELLS;
  std::swap_ranges(s.attributes.begin() + pa, s.attributes.begin() + pa + LINE_CELLS, s.attributes.begin() + pb);
  std::swap_ranges(s.marks.begin() + pa, s.marks.begin() + pa + LINE_CELLS, s.marks.begin() + pb);
}

// Moves the line shown at live row `row` into the slot at offset `row` from
// liveTop, and the line that held that slot to where row's line was.
static void settleRow(int row) {
  ScreenBuffer& s = screen;
  int from = s.liveOrder[row];
  if (from == row) return;
  int other = 0;
  while (other < s.rows && s.liveOrder[other] != row) ++other;
  swapLines(wrapIndex(s.liveTop + row, s.capacity), wrapIndex(s.liveTop + from, s.capacity));
  if (other < s.rows) s.liveOrder[other] = static_cast<uint8_t>(from);
  s.liveOrder[row] = static_cast<uint8_t>(row);
}

// Puts every live line into the slot of its row, so that ring order is screen
// order again (before the height changes).
static void settleLiveOrder() {
  for (int r = 0; r < screen.rows; ++r) settleRow(r);
  resetLiveOrder();
}

static bool tryAllocate(int capacity) {
  try {
    screen.text.assign(capacity, ScreenLine{});
    screen.attributes.assign(static_cast<size_t>(capacity) * LINE_CELLS, 0);
    screen.marks.assign(static_cast<size_t>(capacity) * LINE_CELLS, 0);
  } catch (const std::bad_alloc&) {
    screen.text.clear();
    screen.attributes.clear();
    screen.marks.clear();
    return false;
  }
  return true;
}

int allocate(int capacity) {
  screen.rows = std::clamp(screen.rows, 1, MAX_ROWS);
  capacity = std::clamp(capacity, MIN_CAPACITY, MAX_CAPACITY);
  capacity = std::max(capacity, screen.rows);
  int result = 0;
  if (!tryAllocate(capacity)) {
    capacity = std::max(screen.rows, MIN_CAPACITY);
    result = 1;
    if (!tryAllocate(capacity)) return -1;
  }
  screen.capacity = capacity;
  screen.oldest = 0;
  screen.newest = screen.rows - 1;
  screen.wrapped = false;
  screen.screenTop = screen.liveTop = 0;
  screen.screenBottom = screen.liveBottom = screen.rows - 1;
  screen.historyLines = screen.viewPosition = 0;
  for (int i = 0; i < capacity; ++i) {
    screen.text[i].used = 0;
    std::fill(std::begin(screen.text[i].cells), std::end(screen.text[i].cells), ' ');
  }
  screen.scrollTop = 1;
  screen.scrollBottom = screen.rows;
  screen.column = screen.row = 0;
  resetLiveOrder();
  updateRowLines();
  fillRowLinesPastScreen();
  return result;
}


void advanceRing() {
  ScreenBuffer& s = screen;
  if (s.liveReordered) {
    // The top row's line joins the scrollback from the slot at liveTop.
    settleRow(0);
    for (int r = 0; r + 1 < s.rows; ++r) s.liveOrder[r] = static_cast<uint8_t>(s.liveOrder[r + 1] - 1);
    s.liveOrder[s.rows - 1] = static_cast<uint8_t>(s.rows - 1);
  }
  if (++s.newest >= s.capacity) {
    s.newest = 0;
    s.wrapped = true;
  }
  // Once the ring is full the new line takes the oldest one's slot. (After a
  // height reduction there may be free slots again, which fill first.)
  if (s.newest == s.oldest) s.oldest = wrapIndex(s.oldest + 1, s.capacity);
  s.screenTop = wrapIndex(s.screenTop + 1, s.capacity);
  s.screenBottom = wrapIndex(s.screenBottom + 1, s.capacity);
  s.liveTop = s.screenTop;
  s.liveBottom = s.screenBottom;
  if (s.historyLines < s.capacity - s.rows) ++s.historyLines;
  s.viewPosition = s.historyLines;
  updateRowLines();
  surfaceSetScrollBar(s.historyLines, s.historyLines);
}

void returnToLive() {
  ScreenBuffer& s = screen;
  if (s.viewPosition == s.historyLines) return;
  surfaceSetScrollBar(s.historyLines, s.historyLines);
  s.screenTop = s.liveTop;
  s.screenBottom = s.liveBottom;
  s.viewPosition = s.historyLines;
  updateRowLines();
  surfaceInvalidate();
}

void scrollView(int delta) {
  ScreenBuffer& s = screen;
  // The view moves between the oldest line held and the live screen.
  int target = std::clamp(s.viewPosition + delta, 0, s.historyLines);
  int moved = target - s.viewPosition;
  if (moved == 0) return;
  s.screenTop = wrapIndex(s.screenTop + moved, s.capacity);
  s.screenBottom = wrapIndex(s.screenBottom + moved, s.capacity);
  s.viewPosition = target;
  updateRowLines();
  surfaceSetScrollBar(s.viewPosition, s.historyLines);
  surfaceInvalidate();
}

void setRows(int n, bool reportSize) {
  ScreenBuffer& s = screen;
  n = std::clamp(n, 1, MAX_ROWS);
  returnToLive();
  settleLiveOrder();
  updateRowLines();
  int o = s.rows;
  if (n > s.capacity) {
    s.rows = n;
    allocate(n);
  } else if (n > o) {
    for (int i = 1; i <= n - o; ++i) {
      int line = wrapIndex(s.newest + i, s.capacity);
      s.text[line].used = 0;
      std::fill(std::begin(s.text[line].cells), std::end(s.text[line].cells), ' ');
      std::fill_n(&s.attributes[static_cast<size_t>(line) * LINE_CELLS], LINE_CELLS, 0);
    }
    int freeSlots = distance(s.newest, s.oldest) - 1;
    if (s.newest + (n - o) >= s.capacity) s.wrapped = true;
    s.newest = wrapIndex(s.newest + (n - o), s.capacity);
    // The new rows may have taken the oldest lines: the oldest line held is
    // then the one after the newest, never a line of the live screen.
    if (n - o > freeSlots) s.oldest = wrapIndex(s.newest + 1, s.capacity);
  } else if (n < o) {
    for (int r = n; r < o; ++r) {
      int line = lineOfRow(r);
      s.text[line].used = 0;
      std::fill(std::begin(s.text[line].cells), std::end(s.text[line].cells), ' ');
      std::fill_n(&s.attributes[static_cast<size_t>(line) * LINE_CELLS], LINE_CELLS, 0);
    }
    s.newest = wrapIndex(s.newest - (o - n), s.capacity);
  }
  s.rows = n;
  s.scrollBottom = n;
  if (s.scrollTop > n) s.scrollTop = 1;
  if (s.row > n - 1) s.row = n - 1;
  s.historyLines = std::min({s.historyLines, s.capacity - n, distance(s.oldest, s.screenTop)});
  s.viewPosition = s.historyLines;
  s.screenBottom = s.liveBottom = s.newest;
  s.liveTop = s.screenTop;
  updateRowLines();
  fillRowLinesPastScreen();
  surfaceSetScrollBar(s.historyLines, s.historyLines);
  if (reportSize) terminalHooks.windowSizeChanged(s.columns, s.rows);
}
