// The VT52 emulation through the receive path: bytes in, screen, cursor and
// replies out.
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

const ScreenCase cases[] = {
    // Cursor movement
    {"cursor_up_stops_at_top", E + "A", "", "1,1"},
    {"cursor_right_wrap_stops_at_bottom", E + "Y7o" + E + "CX", "|||||||||||||||||||||||X", "24,2"},
    {"cursor_left_stops", E + "D", "", "1,1"},
    {"reverse_line_feed_moves_up", "a\r\nb" + E + "IX", "aX|b", "1,3"},
    {"reverse_line_feed_at_top_scrolls", "top" + E + "H" + E + "Inew", "new|top", "1,4"},
    // Erasing
    {"erase_to_end_of_line", "abcdef" + E + "Y \"" + E + "K", "ab", "1,3"},
    // Sequence ends
    {"ends_without_effect", E + "<a" + E + "Vb" + E + "]c" + E + "^d" + E + "_e", "abcde", "1,6"},
    {"unlisted_bytes_collected_until_final", "\r\n\r\n" + E + "qrsAX", "|X", "2,2"},
    {"escape_restarts", E + "1" + E + "BX", "|X", "2,2"},
    {"cr_ends_sequence", "abc" + E + "1\rX", "Xbc", "1,2"},
    {"vt_sequence_runs_to_a_vt52_final", "\r\n" + E + "[1mAX", "X", "1,2"},
    // Replies
    {"identify", E + "Z", "", "1,1", E + "/Z"},
};

class Vt52Table : public ::testing::TestWithParam<ScreenCase> {};
TEST_P(Vt52Table, ScreenCursorReply) { expectScreenCase(3, GetParam()); }
INSTANTIATE_TEST_SUITE_P(Vt52, Vt52Table, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Vt52, KeypadModes) {
  reset(3);
  feed(E + "=");
  EXPECT_TRUE(emulator.keypadApplication);
  feed(E + ">");
  EXPECT_FALSE(emulator.keypadApplication);
  feed(E + "Y=");  // inside address mode "=" is a row code
  EXPECT_FALSE(emulator.keypadApplication);
}

TEST(Vt52, RightWithoutAutowrapStopsAtLineEnd) {
  reset(3);
  terminalOptions.autowrap = false;
  emulatorConnectionStart();
  feed(E + "Y o" + E + "C" + E + "C");
  EXPECT_EQ(cursor(), "1,82");
  for (int i = 0; i < 300; ++i) feed(E + "C");
  EXPECT_EQ(cursor(), "1,255");
}

// A region set by the VT family stays when the emulation changes.
TEST(Vt52, RegionSetByVtFamily) {
  reset(4);
  feed("r0\r\nr1\r\nr2\r\nr3\r\nr4\r\nr5" + E + "[2;4r");
  terminalOptions.emulation = 3;
  feed(E + "Y# " + E + "B" + E + "B");  // down stops at the region bottom
  EXPECT_EQ(cursor(), "4,1");
  feed(E + "H" + E + "I");  // row 0 scrolls the region down
  EXPECT_EQ(screenText(), "r0||r1|r2|r4|r5");
  EXPECT_EQ(cursor(), "1,1");
  feed(E + "J");  // at home: as many lines as the region into the scrollback
  EXPECT_EQ(screen.historyLines, 3);
  EXPECT_EQ(historyRow(3), "r0");
  EXPECT_EQ(screenText(), "");
}

}  // namespace
