// The ring, the scrollback and the scroll regions, with the window operations
// each scroll produces.
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

const std::string E = "\033";

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

TEST(Scrollback, FullScreenScrollKeepsLinesInOrder) {
  reset();
  feed(numberedLines(0, 29));
  EXPECT_EQ(screen.historyLines, 7);
  EXPECT_EQ(row(0), "L7");
  EXPECT_EQ(row(22), "L29");
  EXPECT_EQ(row(23), "");
  EXPECT_EQ(historyRow(1), "L6");
  EXPECT_EQ(historyRow(7), "L0");
  EXPECT_EQ(cursor(), "24,1");
}

TEST(Scrollback, CapacityEqualToRowsKeepsNoHistory) {
  reset(4, 24, 80, 24);
  feed(numberedLines(0, 99));
  EXPECT_EQ(screen.historyLines, 0);
  EXPECT_EQ(row(0), "L77");
  EXPECT_EQ(row(22), "L99");
}

TEST(Scrollback, HistoryStopsGrowingAndOldestAdvances) {
  reset(4, 24, 80, 30);
  feed(numberedLines(0, 28));  // 6 scrolls: the ring is just full
  EXPECT_EQ(screen.historyLines, 6);
  feed(numberedLines(29, 38));  // 10 more
  EXPECT_EQ(screen.historyLines, 6);
  EXPECT_EQ(historyRow(6), "L10");  // the oldest line still held
  EXPECT_EQ(row(0), "L16");
}

TEST(Scrollback, CapacityIsClampedToItsRange) {
  reset(4, 24, 80, 5);
  EXPECT_EQ(screen.capacity, 24);
  reset(4, 24, 80, 99999);
  EXPECT_EQ(screen.capacity, 3000);
}

TEST(Scrollback, ClearScreenKeepsOldScreenDirectlyAbove) {
  reset();
  feed("first\r\nsecond" + E + "[2J");
  EXPECT_EQ(screenText(), "");
  EXPECT_EQ(historyRow(24), "first");
  EXPECT_EQ(historyRow(23), "second");
  EXPECT_EQ(screen.historyLines, 24);
  EXPECT_EQ(cursor(), "1,1");
}

TEST(Scrollback, EraseBelowAtHomeAlsoKeepsScreen) {
  reset();
  feed("keep" + E + "[H" + E + "[J");
  EXPECT_EQ(screenText(), "");
  EXPECT_EQ(historyRow(24), "keep");
}

TEST(Scrollback, ArrivingDataReturnsToLiveView) {
  reset();
  feed(numberedLines(0, 40));
  int live = screen.screenTop;
  scrollView(-5);
  EXPECT_EQ(screen.viewPosition, screen.historyLines - 5);
  EXPECT_NE(screen.screenTop, live);
  surfaceClearCalls();
  feed("x");
  EXPECT_EQ(screen.screenTop, live);
  EXPECT_EQ(screen.viewPosition, screen.historyLines);
  EXPECT_EQ(row(23), "x");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::Invalidate), "invalidate\n");
}

TEST(Scrollback, ViewStopsAtOldestAndAtLive) {
  reset(4, 24, 80, 30);
  feed(numberedLines(0, 60));
  scrollView(-1000);
  EXPECT_EQ(screen.viewPosition, 0);
  EXPECT_EQ(screen.screenTop, screen.oldest);
  EXPECT_EQ(row(0), historyRow(0));
  scrollView(1000);
  EXPECT_EQ(screen.screenTop, screen.liveTop);
}

// A line feed on the region's bottom row moves the region's rows only; the
// cursor stays on that row and nothing enters the scrollback.
TEST(ScrollRegion, LineFeedOnRegionBottomScrollsOnlyTheRegion) {
  for (int bottom : {10, 20}) {
    reset();
    std::string b = std::to_string(bottom);
    feed(labelRows(24) + E + "[5;" + b + "r" + E + "[" + b + ";1H\n");
    EXPECT_EQ(row(3), "R4");
    EXPECT_EQ(row(4), "R6");
    EXPECT_EQ(row(bottom - 2), "R" + b);
    EXPECT_EQ(row(bottom - 1), "");
    EXPECT_EQ(row(bottom), "R" + std::to_string(bottom + 1));
    EXPECT_EQ(screen.historyLines, 0);
    EXPECT_EQ(cursor(), b + ",1");
  }
}

TEST(ScrollRegion, LineFeedBelowRegionNeverScrolls) {
  reset();
  feed(labelRows(24) + E + "[5;10r" + E + "[15;1H" + std::string(20, '\n'));
  EXPECT_EQ(cursor(), "24,1");
  for (int r = 0; r < 24; ++r) EXPECT_EQ(row(r), "R" + std::to_string(r + 1));
}

TEST(ScrollRegion, SettingRegionHomesCursor) {
  reset();
  feed(E + "[5;5H" + E + "[3;8r");
  EXPECT_EQ(cursor(), "1,1");
  EXPECT_EQ(screen.scrollTop, 3);
  EXPECT_EQ(screen.scrollBottom, 8);
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

TEST(ScrollRegion, IndexAndReverseIndexInsideRegion) {
  reset();
  feed(labelRows(12) + E + "[3;6r" + E + "[6;1H" + E + "D");
  EXPECT_EQ(row(2), "R4");
  EXPECT_EQ(row(5), "");
  EXPECT_EQ(row(6), "R7");
  feed(E + "[3;1H" + E + "M");
  EXPECT_EQ(row(2), "");
  EXPECT_EQ(row(3), "R4");
  EXPECT_EQ(row(5), "R6");
  EXPECT_EQ(row(1), "R2");
}

TEST(ScrollRegion, InsertAndDeleteLinesStayInsideRegion) {
  reset();
  feed(labelRows(12) + E + "[3;8r" + E + "[4;1H" + E + "[2L");
  EXPECT_EQ(screenText(), "R1|R2|R3|||R4|R5|R6|R9|R10|R11|R12");
  feed(E + "[4;1H" + E + "[3M");
  EXPECT_EQ(screenText(), "R1|R2|R3|R5|R6||||R9|R10|R11|R12");
  feed(E + "[4;1H" + E + "[99L");
  EXPECT_EQ(screenText(), "R1|R2|R3||||||R9|R10|R11|R12");
  feed(E + "[10;1H" + E + "[L");  // below the region: nothing
  EXPECT_EQ(row(9), "R10");
}

TEST(ScrollRegion, NextLineOnRegionBottomScrollsRegion) {
  reset();
  feed(labelRows(6) + E + "[2;4r" + E + "[4;3H" + E + "E");
  EXPECT_EQ(screenText(), "R1|R3|R4||R5|R6");
  EXPECT_EQ(cursor(), "4,1");
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
  setRows(10);
  EXPECT_EQ(cursor(), "10,1");
  EXPECT_EQ(row(9), "R10");
}

TEST(SetRows, ReportsTheNewSize) {
  reset();
  static int reported = 0;
  reported = 0;
  terminalHooks.windowSizeChanged = [](int columns, int rows) { reported = columns * 1000 + rows; };
  setRows(40);
  EXPECT_EQ(reported, 80040);
}

TEST(SetRows, BeyondCapacityReallocates) {
  reset(4, 24, 80, 24);
  feed("old");
  setRows(50);
  EXPECT_EQ(screen.capacity, 50);
  EXPECT_EQ(screen.rows, 50);
  EXPECT_EQ(screenText(), "");
}

}  // namespace
