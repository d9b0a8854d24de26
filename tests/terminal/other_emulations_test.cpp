// What every emulation shares: sequences split across receive blocks,
// changes of emulation between bytes, and a cursor past the line's last cell.
#include <algorithm>
#include <utility>
#include <vector>

#include "terminal/terminal_type.h"
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

struct SplitStream {
  int emulation;
  std::string bytes;
};

const SplitStream streams[] = {
    {3, "ab" + E + "Y%*x" + E + "A" + E + "Z\r" + E + "Y\rcd" + E + "\"!" + E + "=q" + E + "I" + E + "K" +
            E + "Y0P" + E + "C" + E + "H" + E + "J"},
    {8, "ab" + E + "=%*x" + E + "G4bold" + E + "G0" + E + "=\rcd" + E + "\"!" + E + "Q" + E + "W" + E +
            "E" + E + "jz" + E + "I\x0b\x0c\x1e" + E + "qX" + E + "r" + E + "GxT" + E + "T"},
    {10, "ab" + E + "Y%*x" + E + "4!arev" + E + "@" + E + ">B" + E + "Y\rcd" + E + "\"!" + E + "Q" + E +
             "N" + E + "4Pai" + E + "4=b" + E + "SB" + E + "Kafter" + E + "Y\xc0\xc0z"},
    {4, "ab" + E + "[12;34Hx" + E + "[1;31;44my" + E + "[6n" + E + "[2;5r" + E + "[5;1H\n\nz"},
    {4, E + "(0lqk" + E + "(B" + E + "[?25n" + E + "P1;1|17/ab" + E + "\\w" + E + "[3;3H" + E + "[2J"},
    {6, "\x9b" "3;3H\x90" "junk\x9c" "ok\x9b" "6n" + E + " G" + E + "[c"},
};

TEST(OtherEmulations, SequencesSurviveEverySplitPoint) {
  for (const SplitStream& stream : streams) expectEverySplitAlike(stream.emulation, stream.bytes);
}

// Bytes under one emulation, then bytes under the next, and so on. (That an
// armed address or the IBM's reset flag never outlives its emulation is an
// invariant of the receive fuzzer.)
void feedUnder(const std::vector<std::pair<int, std::string>>& parts) {
  reset(parts.front().first);
  for (const auto& [emulation, bytes] : parts) {
    terminalOptions.emulation = emulation;
    feed(bytes);
  }
}

TEST(EmulationSwitch, HalfCollectedSequenceIsDropped) {
  // ESC G under Wyse 50, then VT100: "4X" is text, not the rest of a VT
  // sequence ending in X (erase characters).
  feedUnder({{8, "ab" + E + "G"}, {4, "4X"}});
  EXPECT_EQ(screenText(), "ab4X");
  EXPECT_FALSE(emulator.inSequence);
  // ESC [ 2 under VT100, then VT52: "5H" is text, not cursor home.
  feedUnder({{4, "ab" + E + "[2"}, {3, "5H"}});
  EXPECT_EQ(screenText(), "ab5H");
  // ESC [ under VT52, then VT100: the digits are text too.
  feedUnder({{3, "ab" + E + "["}, {4, "12;1Hx"}});
  EXPECT_EQ(screenText(), "ab12;1Hx");
  // ESC Y under IBM 3151, then VT52: the VT52 has its own ESC Y.
  feedUnder({{10, E + "Y"}, {3, "!!X"}});
  EXPECT_EQ(screenText(), "!!X");
}

TEST(EmulationSwitch, ConnectionStartDropsArmedAddress) {
  reset(8);
  feed(E + "=\r");
  emulatorConnectionStart();
  feed(E + "=! X");
  EXPECT_EQ(screenText(), "|X");
  reset(10);
  feed(E + "4!a" + E + "@");
  emulatorConnectionStart();
  feed(E + "4!a" + E + ">BX");
  EXPECT_EQ(attrs(0), "07");
}

// A 255-column terminal without autowrap: after the last cell the cursor sits
// at 255, one past the line. Operations on the cursor's cell or the row's
// cells must not reach the next ring line.
struct PastEnd {
  int emulation;
  std::string input;
};
void PrintTo(const PastEnd& c, std::ostream* os) { *os << c.emulation; }

class CursorPastLastCell : public ::testing::TestWithParam<PastEnd> {};

TEST_P(CursorPastLastCell, NextLineUntouched) {
  const PastEnd& c = GetParam();
  reset(c.emulation, 24, 255);
  terminalOptions.autowrap = false;
  emulatorConnectionStart();
  std::string to = c.emulation == 8 ? "=" : "Y";
  if (c.emulation == 4) feed(E + "[2;1HN" + E + "[1;1H" + std::string(255, 'a'));
  else feed(E + to + "! N" + E + to + "  " + std::string(255, 'a'));
  ASSERT_EQ(cursor(), "1,256");
  feed(c.input);
  EXPECT_EQ(row(1), "N");
  EXPECT_EQ(attrs(1), "70");
  EXPECT_LE(lineAt(0).used, 255);
  EXPECT_GE(screen.column, 0);
  EXPECT_LE(screen.column, 255);
}

INSTANTIATE_TEST_SUITE_P(
    OtherEmulations, CursorPastLastCell,
    ::testing::Values(PastEnd{8, E + "Q"}, PastEnd{8, E + "QQQ"}, PastEnd{8, E + "W"}, PastEnd{8, E + "G4"},
                      PastEnd{8, E + "G8Z"}, PastEnd{8, E + "GT"}, PastEnd{8, E + "G0"}, PastEnd{8, E + "T"},
                      PastEnd{8, E + "I"}, PastEnd{8, "\x0c\x0c"}, PastEnd{8, E + "qZZ"}, PastEnd{8, "\x7f"},
                      PastEnd{10, E + "4!a"}, PastEnd{10, E + "4\"aZ"}, PastEnd{10, E + "4=b"},
                      PastEnd{10, E + "Q"}, PastEnd{10, E + "I"}, PastEnd{10, E + "C"}, PastEnd{10, E + "D"},
                      PastEnd{3, E + "K"}, PastEnd{3, E + "C"}, PastEnd{3, E + "D"}, PastEnd{3, E + "Z"},
                      PastEnd{4, E + "[44m"}, PastEnd{4, E + "[5@"}, PastEnd{4, E + "[5P"}, PastEnd{4, E + "[5X"},
                      PastEnd{4, E + "[K"}, PastEnd{4, E + "[1K"}, PastEnd{4, "\x7f"}, PastEnd{4, E + "[4hZ"},
                      PastEnd{4, "Z"}, PastEnd{4, E + "[6n"}, PastEnd{4, "\t"}),
    [](const auto& info) { return "case_" + std::to_string(info.index); });

TEST(CursorPastLastCell, InsertedBlankPastTheLastCellKeepsTheLine) {
  reset(8, 24, 255);
  terminalOptions.autowrap = false;
  emulatorConnectionStart();
  feed(E + "=! N" + E + "=  " + std::string(254, 'a') + "b");
  feed(E + "Q");
  // The cell under the clamped cursor is blanked; the "b" is pushed out.
  EXPECT_EQ(lineAt(0).used, 255);
  EXPECT_EQ(row(0), std::string(254, 'a') + " ");
  EXPECT_EQ(row(1), "N");
}

// Direct cursor address, read the same way by VT52 (ESC Y), Wyse 50 (ESC =)
// and IBM 3151 (ESC Y): codes minus 32, clamped to the screen. "^" stands for
// the emulation's introducer.
const ScreenCase addressCases[] = {
    {"two_spaces_home", "abc\033^  X", "Xbc", "1,2"},
    {"row_23_column_32", "\033^\x37\x40", "", "24,33"},
    {"then_text", "\033^\"%X", "||     X", "3,7"},
    {"past_screen_clamped", "\033^~~", "", "24,80"},
    {"high_bytes_clamped", "\033^\xc0\xff", "", "24,80"},
    {"below_space_clamped", "\033^%%\033^\x05\x10", "", "1,1"},
    {"survives_cr", "\033^\rab\033\"%X", "ab||     X", "3,7"},
    {"survives_can", "\033^\x18" "ab\033\"%X", "ab||     X", "3,7"},
    {"row_survives_cr", "\033^\"\rab\033%X", "ab||     X", "3,7"},
    {"escape_is_a_column_byte", "\033^%\033X", "|||||X", "6,2"},
    // The VT52 and the IBM 3151 (rows marked TERM_VT52) also share the
    // movement and erase letters.
    {"up", "\033^%%\033A", "", "5,6", "", TERM_VT52},
    {"down", "\033B", "", "2,1", "", TERM_VT52},
    {"down_stops_at_bottom", "\033^7 \033B", "", "24,1", "", TERM_VT52},
    {"right", "\033C", "", "1,2", "", TERM_VT52},
    {"right_wraps", "\033^ o\033CX", "|X", "2,2", "", TERM_VT52},
    {"left", "ab\033D", "ab", "1,2", "", TERM_VT52},
    {"home", "abc\r\ndef\033HX", "Xbc|def", "1,2", "", TERM_VT52},
    {"erase_to_end_of_screen", "aaa\r\nbbb\r\nccc\033^!!\033J", "aaa|b", "2,2", "", TERM_VT52},
};

class CursorAddress : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(CursorAddress, SameInEveryAddressingEmulation) {
  for (auto [emulation, introducer] : {std::pair{TERM_VT52, 'Y'}, std::pair{TERM_WYSE50, '='}, std::pair{TERM_IBM3151, 'Y'}}) {
    ScreenCase c = GetParam();
    if (c.emulation == TERM_VT52 && emulation == TERM_WYSE50) continue;
    std::replace(c.input.begin(), c.input.end(), '^', introducer);
    SCOPED_TRACE(emulation);
    expectScreenCase(emulation, c);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, CursorAddress, ::testing::ValuesIn(addressCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
