// Host surface: records every window operation so tests can read what the
// terminal did to the window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class SurfaceOp { Scroll, Fill, DrawCell, MoveCaret, ShowCaret, Beep, Invalidate, ScrollBar, Repaint };

struct SurfaceCall {
  SurfaceOp op;
  int a, b, c, d, e, f;  // the call's arguments in order (cells: x, y, ch, text, back)
                         // Repaint: pixel rows a..b (exclusive) redrawn from the buffer
};

// Every call since the last clear, in order.
const std::vector<SurfaceCall>& surfaceCalls();
void surfaceClearCalls();
// Calls of one kind, as text "op a b c ..." per line; handy in assertions.
std::string surfaceCallsText(SurfaceOp op);
