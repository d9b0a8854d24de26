// Height changes of the screen: a Term-mode window taller than the settings
// allow, and growth that runs past the end of the ring.
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

TEST(ScreenGrowth, TermWindowOf255Rows) {
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

TEST(ScreenGrowth, RowsGrownPastTheRingEndMarkItWrapped) {
  reset(4, 24, 80, 30);
  for (int i = 0; i < 25; ++i) feed("L" + std::to_string(i) + "\r\n");
  ASSERT_EQ(screen.newest, 25);
  setRows(28);
  EXPECT_FALSE(screen.wrapped);  // newest at 29: still inside the ring
  setRows(29);
  EXPECT_TRUE(screen.wrapped);
  EXPECT_EQ(row(0), "L2");
}

}  // namespace
