// Inputs that would corrupt the buffer or lose text if handled naively:
// huge counts in the window arithmetic, growing the ring, and nested receive
// passes.
#include <algorithm>

#include "terminal/receive_state.h"
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

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

// A socket write pumps window messages, so a receive pass can start while a
// reply is being written.
int writesSeen = 0;
int deepest = 0;

TEST(NestedPass, InnerPassDoesNotOverwriteOuterBlock) {
  reset();
  writesSeen = 0;
  wire.onWrite = [] {
    if (writesSeen++ == 0) {
      wire.incoming += "xyz" + E + "[3;3HQ" + E + "[1;5H";
      receiveAvailable();
    }
  };
  feed("A" + E + "[6nBCDEFGH");
  EXPECT_EQ(row(0), "AxyzBCDEFGH");
  EXPECT_EQ(row(2), "  Q");
  EXPECT_EQ(wire.replies, E + "[1;2R");
}

TEST(NestedPass, FloodOfRequestsDoesNotNestWithoutLimit) {
  reset();
  writesSeen = deepest = 0;
  wire.onWrite = [] {
    ++writesSeen;
    deepest = std::max(deepest, receiveState.depth);
    // Every reply lets the host's next requests in at once.
    if (writesSeen < 500) wire.incoming += E + "[5n" + E + "[5n";
    receiveAvailable();
  };
  feed(E + "[5n");
  EXPECT_LE(deepest, MAX_RECEIVE_DEPTH);
  EXPECT_EQ(receiveState.depth, 0);
  // Nothing is lost: every request was answered.
  EXPECT_EQ(wire.at, wire.incoming.size());
  EXPECT_EQ(writesSeen, 1 + 2 * 499);
}

}  // namespace
