// Cell size and the fit of the font or the terminal to the window.
#include <algorithm>

#include "terminal/display.h"
#include "terminal/screen.h"

DisplayState display;

int cellWidthFrom(int averageWidth) { return std::max(1, averageWidth); }
int cellHeightFrom(int height, int externalLeading) { return std::max(1, height + std::max(0, externalLeading)); }

int visibleTextWidth(int clientWidth) {
  const ScreenBuffer& s = screen;
  int cw = std::max(1, s.cellWidth);
  int cells = std::max(0, clientWidth - TEXT_MARGIN) / cw;
  cells = std::min(cells, std::max(0, s.columns - s.horizontalOffset));
  return cells * cw;
}

int horizontalRange(int clientWidth) {
  int cw = std::max(1, screen.cellWidth);
  return std::max(0, screen.columns - std::max(0, clientWidth - TEXT_MARGIN) / cw);
}

void fitFontSize(int clientWidth, int textHeight, int rows, int columns, int* width, int* height) {
  *height = std::max(1, textHeight / std::max(1, rows));
  *width = std::max(1, (clientWidth - TEXT_MARGIN) / std::max(1, columns));
}
