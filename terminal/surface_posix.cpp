#include "terminal/surface_posix.h"

#include "terminal/display_damage.h"
#include "terminal/surface.h"

static std::vector<SurfaceCall> calls;

static void record(SurfaceOp op, int a = 0, int b = 0, int c = 0, int d = 0, int e = 0, int f = 0) {
  // Bounded so a long fuzz or tool run cannot grow it without limit.
  if (calls.size() >= 1000000) calls.clear();
  calls.push_back({op, a, b, c, d, e, f});
}

void surfaceScroll(int left, int top, int right, int bottom, int dx, int dy) {
  if (damageScroll(left, top, right, bottom, dx, dy)) return;
  record(SurfaceOp::Scroll, left, top, right, bottom, dx, dy);
}
void surfaceFill(int left, int top, int right, int bottom) {
  if (damageRect(left, top, right, bottom)) return;
  record(SurfaceOp::Fill, left, top, right, bottom);
}
void surfaceDrawCell(int x, int y, uint8_t ch, uint32_t textColour, uint32_t backColour) {
  if (damageRect(x, y, x + 1, y + 1)) return;
  record(SurfaceOp::DrawCell, x, y, ch, static_cast<int>(textColour), static_cast<int>(backColour));
}
// Recorded cell by cell, as the characters would have been drawn one at a time.
void surfaceDrawCells(int x, int y, int cellWidth, const uint8_t* chars, int count, uint32_t textColour,
                      uint32_t backColour) {
  for (int i = 0; i < count; ++i) surfaceDrawCell(x + i * cellWidth, y, chars[i], textColour, backColour);
}
void surfaceMoveCaret(int x, int y) { record(SurfaceOp::MoveCaret, x, y); }
void surfaceShowCaret(bool shown) {
  record(SurfaceOp::ShowCaret, shown ? 1 : 0);
  if (damageBlock(!shown)) surfaceShowChanges();
}
void surfaceBeep() { record(SurfaceOp::Beep); }
void surfaceInvalidate() {
  if (!damageAll()) record(SurfaceOp::Invalidate);
}
void surfaceShowChanges() {
  damageShow([](int top, int bottom, int dy) { record(SurfaceOp::Scroll, 0, top, 0, bottom, 0, dy); },
             [](int top, int bottom) { record(SurfaceOp::Repaint, top, bottom); });
}
void surfaceSetScrollBar(int position, int maximum) { record(SurfaceOp::ScrollBar, position, maximum); }

const std::vector<SurfaceCall>& surfaceCalls() { return calls; }
void surfaceClearCalls() { calls.clear(); }

std::string surfaceCallsText(SurfaceOp op) {
  static const char* names[] = {"scroll", "fill", "cell", "caret", "show", "beep", "invalidate", "scrollbar", "repaint"};
  static const int arity[] = {6, 4, 5, 2, 1, 0, 0, 2, 2};
  std::string out;
  for (const SurfaceCall& c : calls) {
    if (c.op != op) continue;
    int k = static_cast<int>(op);
    out += names[k];
    const int args[] = {c.a, c.b, c.c, c.d, c.e, c.f};
    for (int i = 0; i < arity[k]; ++i) out += " " + std::to_string(args[i]);
    out += "\n";
  }
  return out;
}
