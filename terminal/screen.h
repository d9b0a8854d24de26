// The screen buffer: one ring of 255-cell lines holding the live screen and the
// scrollback, with the terminal geometry and the cursor. Every change to the
// buffer updates the window at once through the surface seam.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int LINE_CELLS = 255;   // cells 0..254 of every ring line
constexpr int LAST_CELL = LINE_CELLS - 1;
constexpr int MIN_CAPACITY = 24;
constexpr int MAX_CAPACITY = 3000;
// Settings allow 24..99 rows; a window re-fitted in Term mode may hold up to 255.
constexpr int MAX_ROWS = 255;
constexpr uint8_t DEFAULT_ATTRIBUTE = 0x70;

struct ScreenLine {
  int16_t used;                 // leading cells that are drawn, 0..255
  uint8_t cells[LINE_CELLS];
};

struct ScreenBuffer {
  // Planes: capacity lines each.
  std::vector<ScreenLine> text;
  std::vector<uint8_t> attributes;  // capacity * LINE_CELLS
  std::vector<uint8_t> marks;       // selection marks, capacity * LINE_CELLS

  // Ring.
  int capacity = 0;
  int newest = 0;
  int oldest = 0;
  bool wrapped = false;
  int screenTop = 0, screenBottom = 0;
  int liveTop = 0, liveBottom = 0;
  int historyLines = 0;
  int viewPosition = 0;

  // Geometry.
  int rows = 24;
  int columns = 80;
  int cellWidth = 8, cellHeight = 16;
  int textTop = 0;
  int textRight = 80 * 8;
  int horizontalOffset = 0;
  int scrollTop = 1, scrollBottom = 24;  // 1-based, inclusive

  // Cursor, in cells: column 0..255 (it may sit past the last cell it wrote),
  // row 0..rows-1.
  int column = 0;
  int row = 0;

  uint8_t attribute = DEFAULT_ATTRIBUTE;  // current attribute of printed cells

  // Live row r is held by ring line liveTop + liveOrder[r] (wrapped): region
  // scrolls rotate these entries instead of copying cells. The line leaving
  // the top of the screen is put back in place before it joins the scrollback.
  uint8_t liveOrder[MAX_ROWS] = {};
  bool liveReordered = false;  // liveOrder may differ from 0, 1, 2, ...
  // Ring line of every view row (and of the rows below, as the ring continues),
  // kept current by every change of the view, the ring or the order.
  int rowLine[MAX_ROWS] = {};
};

extern ScreenBuffer screen;

// Creates the planes for capacity lines (clamped to 24..3000 and at least the
// rows) and clears them. Returns 0, 1 when only a buffer without scrollback
// could be had, or -1 when not even that.
int allocate(int capacity);

// Ring index of a screen row (0 <= row < rows <= capacity).
inline int lineOfRow(int row) { return screen.rowLine[row]; }
// Recomputes rowLine after the view, the ring or the live order changed.
void updateRowLines();
// Ring line `offset` lines after the oldest one, with the live screen's lines
// in screen order (for reading the buffer from the oldest line, as Copy and
// Find do).
int lineAtOffset(int offset);
inline ScreenLine& lineAt(int row) { return screen.text[lineOfRow(row)]; }
inline uint8_t* attributesAt(int row) {
  return &screen.attributes[static_cast<size_t>(lineOfRow(row)) * LINE_CELLS];
}
// Sets n cells (0..LINE_CELLS) of a line's plane to v; copies n cells of text
// into one (not overlapping). For the short stretches the receive path fills.
void fillCells(uint8_t* p, uint8_t v, int n);
void copyCells(uint8_t* to, const uint8_t* from, int n);
// The cursor's cell, clamped to the line.
inline int cursorCell() { return screen.column < 0 ? 0 : (screen.column > LAST_CELL ? LAST_CELL : screen.column); }

void advanceRing();
void lineFeed();
void scrollRegionUp();
void scrollRegionDown();
void insertLines(int row, int n);
void deleteLines(int row, int n);
void clearRow(int row);
void copyRow(int from, int to);
void eraseToEndOfLine(int row, int column);
void eraseToStartOfLine(int row, int column);
void clearScreen();
void putCell(uint8_t ch);
void returnToLive();
// Changes the number of rows; reportSize tells the line of the new size (a
// caller that sets the columns too reports both itself, once).
void setRows(int rows, bool reportSize = true);
// Moves the view by delta lines (negative: into the scrollback).
void scrollView(int delta);

// Window side of the operations: pixel positions of cells.
inline int cellX(int column) { return (column - screen.horizontalOffset) * screen.cellWidth; }
inline int cellY(int row) { return screen.textTop + row * screen.cellHeight; }
inline bool cursorInView() { return screen.column >= screen.horizontalOffset; }
void moveCaretToCursor();
// Scrolls the window pixels of rows first..last (0-based, inclusive) by dy rows
// and fills the uncovered rows with the background.
void scrollRowsOnWindow(int first, int last, int dy);
