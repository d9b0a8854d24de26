// The portable side of the terminal display: paint hints, cell size and the
// fit of font and terminal to the window, the selection plane and its text,
// find, "Clear Buffer" and the Transmit loop.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

enum ResizeMode { RESIZE_NONE = 0, RESIZE_TERM = 1, RESIZE_FONT = 2 };

// What the next paint has to draw; reset to PAINT_ALL after use.
enum PaintHint {
  PAINT_ALL = 0,         // every row, then the selection
  PAINT_TOP_ROW = 1,     // row 0, selection on rows 0 and 1
  PAINT_BOTTOM_ROW = 2,  // last row, selection on the last two rows
  PAINT_SELECTION = 3,   // only the selection
  PAINT_LEFT_COLUMN = 4, // the first shown cell of every row
  PAINT_ROWS_ONLY = 5,   // every row without the selection
  PAINT_NOTHING = 6,
};

struct DisplayState {
  int paintHint = PAINT_ALL;
  int resizeMode = RESIZE_NONE;
  bool selectionExists = false;
  // Drag anchor and last point, in cells of the view (column, row).
  int anchorColumn = 0, anchorRow = 0;
  int lastColumn = 0, lastRow = 0;
  // Find: where the next search starts (index counted from the oldest line).
  int findStart = 0;
};

extern DisplayState display;

// Margin right of the text area that the window keeps free.
constexpr int TEXT_MARGIN = 16;

// Cell size from font metrics; never 0, so that pixel-to-cell arithmetic holds
// for a minimised window.
int cellWidthFrom(int averageWidth);
int cellHeightFrom(int height, int externalLeading);
// Text area width in pixels: client width less the margin, whole cells, at
// most (columns - horizontalOffset) cells; never negative.
int visibleTextWidth(int clientWidth);
// Range of the horizontal scroll bar: columns - shown columns, at least 0.
int horizontalRange(int clientWidth);
// Font mode: the character size that makes rows x columns fill the text area
// (text height = client height less toolbar and status bars). At least 1 x 1.
void fitFontSize(int clientWidth, int textHeight, int rows, int columns, int* width, int* height);

// Selection plane (one mark per cell of every ring line).
void clearSelection();
void selectAll();
// Toggles the marks of a view row from cell `from` up to, not including, `to`
// (either order); returns the cells toggled.
int toggleCells(int row, int from, int to);
// Extends the drag from the last point to (column, row) of the view: toggles
// the cells between, row by row. Returns the view rows touched (first..last).
void extendSelection(int column, int row, int* firstRow, int* lastRow);
// The word at a view cell becomes the selection, replacing any other;
// false (and no selection) when the cell holds no word character.
bool selectWordAt(int column, int row);
// The marked text in ring order from the oldest line, lines joined by CR LF.
std::string selectionText();

// Blanks every line and restarts the ring counters as at allocation.
void clearBuffer();

// Find: ring index offset (from the oldest line) of the first line at or after
// start whose text contains text, case-insensitively; -1 when none (the next
// search then starts at 0). An empty text gives -1 without a beep.
int findNext(const char* text, int start);
// Moves the view so that the line at offset index is shown; returns its view row.
int showFoundLine(int index);
// Column of text in the line at offset index (case-insensitive), or 0.
int foundColumn(const char* text, int index);
// The match of length cells at column of ring line index becomes the
// selection, replacing any other, so that it shows and Copy takes it.
void selectFound(int index, int column, int length);

// Transmit: options of the ASCII transfer and the per-character loop.
struct TransmitOptions {
  int characterDelay = 0;   // "Inter-character delay (msec)"
  int lineDelay = 0;        // "Inter-line delay (msec)"
  bool stripLinefeed = false;  // "Strip linefeed when sending"
  int flowControl = 0;      // a serial link's flow control: 2 Xon/Xoff, 3 HW & Xon/Xoff
};
// Sends text character by character through the key send path; wait(ms)
// keeps the program working during the delays. Stops at a NUL. A serial link
// without XON/XOFF of its own has it switched on for the duration. Returns the
// characters sent, or the link's negative result when it failed.
int transmitText(const uint8_t* text, size_t length, const TransmitOptions& options, void (*wait)(int ms));
