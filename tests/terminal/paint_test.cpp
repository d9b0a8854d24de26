// Deferred painting: a receive pass repaints only the rows it changed, and the
// window it leaves is the same as a full repaint from the buffer.
#include <random>

#include "terminal/display_damage.h"
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

// One view row as the paint handler draws it: its cells and attributes.
std::string painted(int r) { return row(r) + "/" + attrs(r); }

std::vector<std::string> fullRepaint() {
  std::vector<std::string> rows;
  for (int r = 0; r < screen.rows; ++r) rows.push_back(painted(r));
  return rows;
}

// The window of a deferring terminal: rows as last painted, moved by the
// recorded scrolls and replaced by the recorded repaints.
struct Window {
  std::vector<std::string> rows = fullRepaint();
  void follow() {
    const ScreenBuffer& s = screen;
    auto rowOf = [&](int y) { return std::clamp((y - s.textTop) / s.cellHeight, 0, s.rows); };
    for (const SurfaceCall& c : surfaceCalls()) {
      if (c.op == SurfaceOp::Scroll) {
        int first = rowOf(c.b), last = rowOf(c.d) - 1, k = c.f / s.cellHeight;
        std::vector<std::string> before = rows;
        for (int r = first; r <= last; ++r) rows[r] = r - k >= first && r - k <= last ? before[r - k] : "?";
      } else if (c.op == SurfaceOp::Repaint) {
        for (int r = rowOf(c.a); r < rowOf(c.b); ++r) rows[r] = painted(r);
      } else if (c.op == SurfaceOp::Invalidate) {
        rows = fullRepaint();
      } else if (c.op == SurfaceOp::DrawCell || c.op == SurfaceOp::Fill) {
        rows.assign(rows.size(), "drawn while deferring");
      }
    }
    surfaceClearCalls();
  }
};

struct Deferring {
  Deferring() { damageDefer(true); }
  ~Deferring() { damageDefer(false); }
};

TEST(DeferredPaint, RepaintsOnlyTheRowsAPassChanged) {
  reset(2);
  Deferring on;
  feed("first\r\nsecond");
  surfaceClearCalls();
  feed("\x1b[5;10Hx");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::Repaint), "repaint " + std::to_string(cellY(4)) + " " +
                                                        std::to_string(cellY(5)) + "\n");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::DrawCell) + surfaceCallsText(SurfaceOp::Scroll), "");
  // Two line feeds at the bottom: the window's rows move up by two, and the
  // two new rows and the one written are repainted.
  surfaceClearCalls();
  feed("\x1b[24;1Hx\n\ny");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::Scroll), "scroll 0 " + std::to_string(cellY(0)) + " 0 " +
                                                      std::to_string(cellY(23)) + " 0 " +
                                                      std::to_string(-2 * screen.cellHeight) + "\n");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::Repaint), "repaint " + std::to_string(cellY(21)) + " " +
                                                        std::to_string(cellY(24)) + "\n");
}

TEST(DeferredPaint, RandomStreamsLeaveTheFullRepaint) {
  const char* pieces[] = {"text ", "\r\n", "\n", "\x1bM", "\x1b[K", "\x1b[1J", "\x1b[2J", "\b", "\t", "\x1b[7m",
                          "\x1b[0m", "\x1b[31;44m", "\x1b[r", "\x1b" "7", "\x1b" "8"};
  std::mt19937 random(7);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int run = 0; run < 40; ++run) {
    reset(run % 2 ? 2 : 4);
    Deferring on;
    Window window;
    for (int pass = 0; pass < 30; ++pass) {
      std::string s;
      for (int n = pick(40); n > 0; --n) {
        switch (pick(6)) {
          case 0: s += "\x1b[" + std::to_string(1 + pick(24)) + ";" + std::to_string(1 + pick(80)) + "H"; break;
          case 1: s += "\x1b[" + std::to_string(1 + pick(12)) + ";" + std::to_string(12 + pick(13)) + "r"; break;
          case 2: s += "\x1b[" + std::to_string(pick(4)) + "LMP@"[pick(4)]; break;
          default: s += pieces[pick(sizeof pieces / sizeof *pieces)];
        }
      }
      wire.maxRead = 1 + pick(300);
      // Through the receive pass (several blocks held together) or as one
      // block on its own, as local echo arrives.
      if (pick(3)) feed(s);
      else processReceived(reinterpret_cast<const uint8_t*>(s.data()), static_cast<int>(s.size()));
      window.follow();
      ASSERT_EQ(window.rows, fullRepaint()) << "run " << run << " pass " << pass << " " << ::testing::PrintToString(s) << " cursor " << cursor();
    }
  }
}

}  // namespace
