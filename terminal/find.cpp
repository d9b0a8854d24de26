// Find: a case-insensitive search through the ring from the oldest line.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "terminal/display.h"
#include "terminal/screen.h"
#include "terminal/surface.h"

static std::string upper(const uint8_t* p, int n) {
  std::string s(reinterpret_cast<const char*>(p), n);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

static int columnOf(const std::string& needle, int index) {
  const ScreenLine& l = screen.text[lineAtOffset(index)];
  std::string hay = upper(l.cells, std::clamp<int>(l.used, 0, LINE_CELLS));
  size_t at = hay.find(needle);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int findNext(const char* text, int start) {
  if (!text || !*text || screen.capacity <= 0) return -1;
  std::string needle = upper(reinterpret_cast<const uint8_t*>(text), static_cast<int>(std::strlen(text)));
  // Longer than any line: nothing can match.
  if (needle.size() <= static_cast<size_t>(LINE_CELLS))
    for (int i = std::max(0, start); i < screen.capacity; ++i)
      if (columnOf(needle, i) >= 0) {
        display.findStart = i + 1;
        return i;
      }
  surfaceBeep();
  display.findStart = 0;
  return -1;
}

int foundColumn(const char* text, int index) {
  if (!text || index < 0 || index >= screen.capacity) return 0;
  int c = columnOf(upper(reinterpret_cast<const uint8_t*>(text), static_cast<int>(std::strlen(text))), index);
  return c < 0 ? 0 : c;
}

void selectFound(int index, int column, int length) {
  clearSelection();
  if (index < 0 || index >= screen.capacity || screen.marks.empty() || length <= 0) return;
  int from = std::clamp(column, 0, LINE_CELLS), to = std::clamp(column + length, 0, LINE_CELLS);
  uint8_t* m = &screen.marks[static_cast<size_t>(lineAtOffset(index)) * LINE_CELLS];
  std::fill(m + from, m + to, 1);
  display.selectionExists = to > from;
}

int showFoundLine(int index) {
  ScreenBuffer& s = screen;
  // Offsets of the oldest line held and of the live screen's top line.
  int liveTopOffset = (s.liveTop - s.oldest + s.capacity) % s.capacity;
  int firstView = std::max(0, liveTopOffset - s.historyLines);
  // A window of rows lines slides down from the oldest line until it holds the match.
  int top = std::clamp(index - s.rows + 1, firstView, liveTopOffset);
  scrollView((top - firstView) - s.viewPosition);
  int row = index - top;
  return std::clamp(row, 0, s.rows - 1);
}

void clearBuffer() {
  // Every line blank and the ring counters as a fresh allocation sets them.
  allocate(screen.capacity);
  clearSelection();
  display.findStart = 0;
  surfaceSetScrollBar(0, 0);
  surfaceInvalidate();
}
