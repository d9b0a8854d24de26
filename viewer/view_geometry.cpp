#include "viewer/view_geometry.h"

namespace {
// Percent per zoom index; index 0 draws without scaling.
constexpr int ZOOM_PERCENT[ZOOM_INDEXES] = {100, 25, 50, 75, 125, 150, 175, 200};

int clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }
}  // namespace

int zoomedSize(int size, int zoomIndex) {
  if (zoomIndex <= 0 || zoomIndex >= ZOOM_INDEXES) return size;
  return static_cast<int>(static_cast<long long>(size) * ZOOM_PERCENT[zoomIndex] / 100);
}

int scrollRange(int imageSize, int clientSize) {
  int range = (imageSize - clientSize) / SCROLL_UNIT;
  return range < 1 ? 0 : range;
}

int scrollStep(int position, int range, ScrollStep step, int clientSize, int thumb) {
  int page = clientSize / SCROLL_UNIT;
  if (page < 1) page = 1;
  switch (step) {
    case ScrollStep::LineBack: position -= 1; break;
    case ScrollStep::LineOn: position += 1; break;
    case ScrollStep::PageBack: position -= page; break;
    case ScrollStep::PageOn: position += page; break;
    case ScrollStep::Thumb: position = thumb; break;
    case ScrollStep::Top: position = 0; break;
    case ScrollStep::Bottom: position = range; break;
  }
  return clamp(position, 0, range);
}

int keepFraction(int position, int oldRange, int newRange) {
  if (newRange <= 0) return 0;
  if (oldRange <= 0) return 0;
  return clamp(static_cast<int>(static_cast<long long>(position) * newRange / oldRange), 0, newRange);
}

int zoomIndexForCommand(int command) {
  // Menu ids 101..107 are 75, 50, 25, 125, 150, 175, 200 %; 108 is 100 %.
  static constexpr int INDEX_OF[] = {3, 2, 1, 4, 5, 6, 7, 0};
  if (command < 101 || command > 108) return -1;
  return INDEX_OF[command - 101];
}
