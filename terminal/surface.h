// What the screen buffer and the emulators do to the window. The target build
// draws with GDI; host tests link a recorder. Coordinates are client pixels.
#pragma once
#include <cstdint>

// Scroll the pixels of a rectangle by dx, dy (the uncovered strip is not painted).
void surfaceScroll(int left, int top, int right, int bottom, int dx, int dy);
// Fill a rectangle (right and bottom exclusive) with the background brush.
void surfaceFill(int left, int top, int right, int bottom);
// Draw one character cell at x, y in the given RGB colours (0x00BBGGRR).
void surfaceDrawCell(int x, int y, uint8_t ch, uint32_t textColour, uint32_t backColour);
// Draw count cells of one row side by side, cellWidth pixels apart, from x, y:
// the same as one surfaceDrawCell per character, in one call.
void surfaceDrawCells(int x, int y, int cellWidth, const uint8_t* chars, int count, uint32_t textColour,
                      uint32_t backColour);
void surfaceMoveCaret(int x, int y);
void surfaceShowCaret(bool shown);
void surfaceBeep();
// The whole window must be repainted from the buffer.
void surfaceInvalidate();
// Shows what deferred operations noted (terminal/display_damage.h): scrolls
// the window's rows that still hold and repaints the changed ones.
void surfaceShowChanges();
// Vertical scroll bar: range 0..maximum, thumb at position.
void surfaceSetScrollBar(int position, int maximum);
