// The ring, the scrollback and the scroll regions' parameters, with the window
// operations each scroll produces (scrolls inside a region are compared with
// another emulator's screen in the interop tests).
#include "terminal/display.h"
#include "terminal/keymap.h"
#include "terminal/terminal_type.h"
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

std::string numberedLines(int from, int to) {
  std::string out;
  for (int i = from; i <= to; ++i) out += "L" + std::to_string(i) + "\r\n";
  return out;
}

// Writes "R<n>" on each row n of the screen (1-based).
std::string labelRows(int rows) {
  std::string out;
  for (int r = 1; r <= rows; ++r) out += E + "[" + std::to_string(r) + ";1HR" + std::to_string(r);
  return out;
}

TEST(Scrollback, FullScreenScrollKeepsLinesInOrderUntilTheRingIsFull) {
  reset(4, 24, 80, 30);
  feed(numberedLines(0, 28));  // 6 scrolls: the ring is just full
  EXPECT_EQ(screen.historyLines, 6);
  EXPECT_EQ(row(0), "L6");
  EXPECT_EQ(row(22), "L28");
  EXPECT_EQ(row(23), "");
  EXPECT_EQ(historyRow(1), "L5");
  EXPECT_EQ(historyRow(6), "L0");
  EXPECT_EQ(cursor(), "24,1");
  feed(numberedLines(29, 38));  // 10 more
  EXPECT_EQ(screen.historyLines, 6);
  EXPECT_EQ(historyRow(6), "L10");  // the oldest line still held
  EXPECT_EQ(row(0), "L16");
}

// A scrollback size from the settings never allocates past the limit.
TEST(Scrollback, CapacityIsClampedToItsRange) {
  reset(4, 24, 80, 99999);
  EXPECT_EQ(screen.capacity, MAX_CAPACITY);
}

// Clearing the screen, or erasing it from home, keeps it in the scrollback
// right above the new screen, in every emulation; an erase from elsewhere, or
// the Wyse 50's erase, keeps nothing. Under a region the VT family left, the
// VT52's erase from home keeps as many lines as the region, the IBM 3151's
// every row.
TEST(Scrollback, ClearingKeepsTheScreenAbove) {
  const struct {
    int emulation;
    std::string input, screen;
    int history;
    bool region = false;  // a VT region of rows 2 to 4 set first
  } cases[] = {
      {4, E + "[2J", "", 24},         {4, E + "[H" + E + "[J", "", 24}, {3, E + "H" + E + "J", "", 24},
      {3, E + "Y !" + E + "J", "o", 0}, {8, E + "*", "", 24},             {8, "\x1a", "", 24},
      {8, E + "=  " + E + "Y", "", 0},  {10, E + "K", "", 24},          {10, E + "J", "", 24, true},
      {3, E + "H" + E + "J", "", 3, true},
  };
  for (const auto& c : cases) {
    reset(c.region ? TERM_VT100 : c.emulation);
    feed("one\r\ntwo" + (c.region ? E + "[2;4r" : ""));
    terminalOptions.emulation = c.emulation;
    feed(c.input);
    EXPECT_EQ(screenText(), c.screen) << c.input;
    EXPECT_EQ(screen.historyLines, c.history) << c.input;
    if (c.history == 0) continue;
    EXPECT_EQ(historyRow(c.history) + "|" + historyRow(c.history - 1), "one|two") << c.input;
    EXPECT_EQ(cursor(), "1,1") << c.input;
  }
}

// The view stops at the oldest line and at the live screen; data returns it.
TEST(Scrollback, ViewStopsAtBothEndsAndArrivingDataReturnsIt) {
  reset(4, 24, 80, 30);
  feed(numberedLines(0, 40));
  int live = screen.screenTop;
  scrollView(-1000);
  EXPECT_EQ(screen.screenTop, screen.oldest);
  scrollView(1000);
  EXPECT_EQ(screen.screenTop, live);
  scrollView(-5);
  EXPECT_EQ(screen.viewPosition, screen.historyLines - 5);
  EXPECT_NE(screen.screenTop, live);
  surfaceClearCalls();
  feed("x");
  EXPECT_EQ(screen.screenTop, live);
  EXPECT_EQ(screen.viewPosition, screen.historyLines);
  EXPECT_EQ(row(23), "x");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::Invalidate), "invalidate\n");
  // So does a key sent to the host.
  scrollView(-5);
  defaultKeyMap(4, &keyboard.map);
  keyToHost(0x26);
  EXPECT_EQ(screen.viewPosition, screen.historyLines);
}

struct RegionCase {
  const char* input;
  int top, bottom;
};

TEST(ScrollRegion, ParametersAndClamping) {
  const RegionCase cases[] = {
      {"[r", 1, 24},    {"[;r", 1, 24},   {"[;9r", 1, 9},    {"[4r", 4, 24},  {"[4;9r", 4, 9},
      {"[0;30r", 1, 24}, {"[30;5r", 1, 5}, {"[7;7r", 7, 7},  {"[9;4r", 9, 4},
  };
  for (const RegionCase& c : cases) {
    reset();
    feed(E + c.input);
    EXPECT_EQ(screen.scrollTop, c.top) << c.input;
    EXPECT_EQ(screen.scrollBottom, c.bottom) << c.input;
  }
}

// Top and bottom are not compared: upside down, a line feed on the bottom
// row only clears that row, and nothing enters the scrollback.
TEST(ScrollRegion, UpsideDownRegionKeptAsSent) {
  reset();
  feed(labelRows(12) + E + "[9;4r" + E + "[4;1H\n" + E + "[9;1H" + E + "M");
  EXPECT_EQ(screenText(), "R1|R2|R3||R5|R6|R7|R8||R10|R11|R12");
  EXPECT_EQ(cursor(), "9,1");
  EXPECT_EQ(screen.historyLines, 0);
}

// What the window is told beyond the characters (the tables check those
// through the window grid): colours, the scroll bar and the bell.
TEST(SurfaceOps, ColoursScrollBarAndBell) {
  reset(2);
  feed(E + "[31;44mA");  // palette: text and back from the attribute's nibbles
  EXPECT_EQ(surfaceCallsText(SurfaceOp::DrawCell), "cell 0 0 65 127 8323072\n");
  reset(4);
  feed(E + "[7mA" + E + "[0;1mB");
  // Two colours: reverse swaps text and background; bright turns every lit
  // channel of the text colour to full.
  EXPECT_EQ(surfaceCallsText(SurfaceOp::DrawCell),
            "cell 0 0 65 0 12566463\n"
            "cell 8 0 66 16777215 0\n");
  surfaceClearCalls();
  feed(E + "[24;1H\n\a");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::ScrollBar), "scrollbar 1 1\n");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::Beep), "beep\n");
}

TEST(SetRows, GrowAndShrinkKeepTopAndClearNewRows) {
  reset();
  feed(labelRows(24) + E + "[24;1H");
  setRows(30);
  EXPECT_EQ(screen.rows, 30);
  EXPECT_EQ(screen.scrollBottom, 30);
  EXPECT_EQ(row(0), "R1");
  EXPECT_EQ(row(23), "R24");
  EXPECT_EQ(row(29), "");
  EXPECT_EQ(screen.screenBottom, screen.newest);
  setRows(24);
  EXPECT_EQ(row(23), "R24");
  feed(E + "[30;1H");
  EXPECT_EQ(cursor(), "24,1");
  static int reported = 0;
  terminalHooks.windowSizeChanged = [](int columns, int rows) { reported = columns * 1000 + rows; };
  setRows(10);
  EXPECT_EQ(cursor(), "10,1");
  EXPECT_EQ(row(9), "R10");
  EXPECT_EQ(reported, 80010) << "the new size is reported";
}

TEST(SetRows, BeyondCapacityReallocates) {
  reset(4, 24, 80, 24);
  feed("old");
  setRows(50);
  EXPECT_EQ(screen.capacity, 50);
  EXPECT_EQ(screen.rows, 50);
  EXPECT_EQ(screenText(), "");
}

// Region scrolls move lines by reordering rows; whatever order they leave, the
// lines reach the scrollback, Copy and Find in the order the screen shows them.
TEST(ScrollRegion, ReorderedRowsReachScrollbackInScreenOrder) {
  reset(4, 6, 80, 40);
  feed(labelRows(6));
  feed(E + "[2;5r" + E + "[5;1H\n\nnew5" + E + "[2;1H" + E + "M" + "top2" + E + "[3;1H" + E + "[2L" +
       E + "[4;1H" + E + "[M" + E + "[r");
  const std::string shown = screenText();
  ASSERT_EQ(shown, "R1|top2||R4||R6");
  // A full-screen region again: six line feeds push the screen into the scrollback.
  feed(E + "[6;1H\n\n\n\n\n\n");
  for (int back = 6, r = 0; back >= 1; --back, ++r) {
    std::string expected[] = {"R1", "top2", "", "R4", "", "R6"};
    EXPECT_EQ(historyRow(back), expected[r]) << back;
  }
  // Copy and Find read the lines in screen order too.
  feed(E + "[2;5r" + E + "[5;1H\nlast" + E + "[r");
  selectAll();
  std::string all = selectionText();
  EXPECT_NE(all.find("R1\r\ntop2\r\n\r\nR4\r\n\r\nR6"), std::string::npos) << all;
  int first = findNext("top2", 0);
  int second = findNext("R4", 0);
  EXPECT_EQ(second - first, 2);
  clearSelection();
}

// Inputs that would corrupt the buffer if handled naively: huge counts in the
// window arithmetic and growing the ring.
TEST(HugeCounts, WindowArithmeticStaysSmall) {
  reset();
  feed("abc" + E + "[1;2H" + E + "[99999999999@" + E + "[99999999999P" + E + "[99999999999L" +
       E + "[99999999999M");
  for (const SurfaceCall& c : surfaceCalls()) {
    if (c.op != SurfaceOp::Scroll && c.op != SurfaceOp::Fill) continue;
    for (int v : {c.a, c.b, c.c, c.d, c.e, c.f}) EXPECT_LE(std::abs(v), 10000);
  }
}

TEST(RingGrowth, GrowingAfterWrapKeepsOldestOutOfLiveScreen) {
  reset(4, 24, 80, 30);
  for (int i = 0; i < 100; ++i) feed("L" + std::to_string(i) + "\r\n");
  ASSERT_TRUE(screen.wrapped);
  setRows(28);  // the new rows took the oldest lines: the oldest held follows the newest
  EXPECT_EQ(screen.oldest, (screen.newest + 1) % screen.capacity);
  EXPECT_EQ(screen.historyLines, 2);
  EXPECT_EQ(row(0), "L77");
  EXPECT_EQ(historyRow(1), "L76");
  EXPECT_EQ(historyRow(2), "L75");
  // Further scrolling keeps the order.
  feed(E + "[28;1H\nZ");
  EXPECT_EQ(historyRow(1), "L77");
  EXPECT_EQ(row(26), "");
  EXPECT_EQ(row(27), "Z");
}

// Rows grown past the ring's end wrap it; the view still reaches back to the
// oldest line held.
TEST(RingGrowth, GrowingPastTheRingEnd) {
  reset(4, 24, 80, 30);
  for (int i = 0; i < 5; ++i) feed("L" + std::to_string(i) + "\r\n");  // newest at 27 of 30
  setRows(28);
  scrollView(-100);
  EXPECT_EQ(screen.screenTop, (screen.liveTop - screen.historyLines + 30) % 30);
  reset(4, 24, 80, 30);
  for (int i = 0; i < 25; ++i) feed("L" + std::to_string(i) + "\r\n");
  ASSERT_EQ(screen.newest, 25);
  setRows(28);
  EXPECT_FALSE(screen.wrapped);  // newest at 29: still inside the ring
  setRows(29);
  EXPECT_TRUE(screen.wrapped);
  EXPECT_EQ(row(0), "L2");
}

TEST(RingGrowth, TermWindowOf255Rows) {
  reset(4, 24, 80, 1000);
  setRows(255);
  ASSERT_EQ(screen.rows, 255);
  feed("\x1b[255;1Hbottom\x1b[6n\r\nnext");
  EXPECT_EQ(row(253), "bottom");
  EXPECT_EQ(row(254), "next");
  EXPECT_EQ(historyRow(1), "");
  EXPECT_EQ(wire.replies, "\x1b[255;7R");
  setRows(300);
  EXPECT_EQ(screen.rows, 255);
}

}  // namespace
