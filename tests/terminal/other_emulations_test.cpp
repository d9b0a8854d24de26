// The VT52, Wyse 50 and IBM 3151 emulations (bytes in; screen, cursor, replies
// and attributes out), then what every emulation shares: sequences split
// across receive blocks, changes of emulation between bytes, and a cursor
// past the line's last cell.
#include <algorithm>
#include <utility>
#include <vector>

#include "terminal/terminal_type.h"
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

const ScreenCase vt52Cases[] = {
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

TEST(Vt52, Sequences) { expectCases(TERM_VT52, vt52Cases); }

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

const ScreenCase wyseCases[] = {
    // Clearing and erasing
    {"clear_star", "abc\r\ndef" + E + "*X", "X", "1,2"},
    {"clear_plus", "abc\r\ndef" + E + "+X", "X", "1,2"},
    {"erase_line_T", "abcdef" + E + "= \"" + E + "T", "ab", "1,3"},
    {"erase_line_t", "abcdef" + E + "= \"" + E + "t", "ab", "1,3"},
    {"g_t_is_no_erase", "abcdef" + E + "= \"" + E + "GT", "abcdef", "1,3"},
    {"erase_screen_Y", "aaa\r\nbbb\r\nccc" + E + "=!!" + E + "Y", "aaa|b", "2,2"},
    {"erase_screen_y", "aaa\r\nbbb\r\nccc" + E + "=!!" + E + "y", "aaa|b", "2,2"},
    // Lines and characters
    {"insert_line_E_and_e", "a\r\nb\r\nc" + E + "=! " + E + "E" + E + "e", "a|||b|c", "2,1"},
    {"delete_line", "a\r\nb\r\nc" + E + "=  " + E + "R", "b|c", "1,1"},
    {"insert_character", "abcdef" + E + "= !" + E + "Q", "a bcdef", "1,2"},
    {"insert_character_past_used", "ab" + E + "= %" + E + "Q", "ab", "1,6"},
    {"delete_character_W_and_w", "abcdef" + E + "= !" + E + "W" + E + "w", "adef", "1,2"},
    {"delete_character_needs_a_used_cell_right", "abc" + E + "= \"" + E + "W", "abc", "1,3"},
    // Cursor
    {"back_tab", E + "= -" + E + "I", "", "1,9"},
    {"back_tab_lower_case", E + "= -" + E + "i", "", "1,9"},
    {"back_tab_on_a_stop_stays", E + "= (" + E + "I", "", "1,9"},
    {"back_tab_to_zero", "abc" + E + "I", "abc", "1,1"},
    {"scroll_down_cursor_stays", "top\r\nsecond" + E + "jX", "|top   X|second", "2,8"},
    {"insert_mode", "abc" + E + "= !" + E + "qX" + E + "rY", "aXYc", "1,4"},
    // Single-byte controls
    {"vt_at_top_stays", "ab\x0b" "c", "abc", "1,4"},
    {"ff_moves_right", "a\x0c\x0c" "b", "a  b", "1,5"},
    {"ff_wraps", std::string(79, ' ') + "\x0c" "x", std::string(79, ' ') + "|x", "2,2"},
    {"rs_homes", "line\r\nmore\x1e" "X", "Xine|more", "1,2"},
    // Sequence ends
    {"ends_without_effect",
     E + "(a" + E + "1b" + E + "6c" + E + "7d" + E + "9e" + E + ":f" + E + "Cg" + E + "Fh", "abcdefgh", "1,9"},
    {"g_collected_until_final", "ab\r\ncd" + E + "GxkzRe", "ab|  e", "2,4"},
    {"digit_outside_g_collected", "\r\n" + E + "4R", "", "2,1"},
    {"escape_restarts", "a\r\nb" + E + "G" + E + "=  " + E + "R", "b", "1,1"},
    {"cr_ends_sequence", "abc" + E + "G\rX", "Xbc", "1,2"},
};

TEST(Wyse50, Sequences) { expectCases(TERM_WYSE50, wyseCases); }

const AttributeCase wyseAttributeCases[] = {
    {"g4_bright_g0_normal", E + "G4X" + E + "G0Y", "f070", "70"},
    {"g8_bright", E + "G8X", "f0", "f0"},
    {"gt_bright", E + "GTX", "f0", "f0"},
    {"gt_lower_case_bright", E + "GtX", "f0", "f0"},
    {"zero_alone_ends_without_effect", "a" + E + "G4" + E + "0b", "70f0", "f0"},
    {"earlier_cells_keep_their_attribute", "ab" + E + "G4c", "7070f0", "f0"},
    {"inserted_blank_gets_attribute_zero", "ab" + E + "= !" + E + "Q", "700070", "70"},
    {"deleted_character_takes_its_attribute", "a" + E + "G4bc" + E + "G0d" + E + "= !" + E + "W", "70f070", "70"},
};

TEST(Wyse50, Attributes) { expectCases(TERM_WYSE50, wyseAttributeCases); }

const ScreenCase ibmCases[] = {
    // Erasing and editing
    {"erase_line", "abcdef" + E + "Y \"" + E + "I", "ab", "1,3"},
    {"delete_character", "abcdef" + E + "Y !" + E + "Q", "acdef", "1,2"},
    {"delete_line", "a\r\nb\r\nc" + E + "Y  " + E + "O", "b|c", "1,1"},
    {"insert_line", "a\r\nb\r\nc" + E + "Y! " + E + "N", "a||b|c", "2,1"},
    {"clear_screen", "abc\r\ndef" + E + "KX", "X", "1,2"},
    // Sequence ends
    {"s_restarts_and_is_dropped", E + "xSBX", "|X", "2,2"},
    {"at_sign_ends", "a" + E + "@b", "ab", "1,3"},
    {"down_needs_esc_b_alone", E + "xB" + E + ">BX", "X", "1,2"},
    {"rendition_sequences_print_nothing", E + "4!a" + E + "4=b" + E + "4Pa" + E + "4>bX", "X", "1,2"},
    {"escape_restarts", E + "4" + E + "BX", "|X", "2,2"},
    {"cr_ends_sequence", "abc" + E + "4\rX", "Xbc", "1,2"},
};

TEST(Ibm3151, Sequences) { expectCases(TERM_IBM3151, ibmCases); }

const AttributeCase ibmAttributeCases[] = {
    {"reverse_then_normal", E + "4!aX" + E + "4=bY", "0770", "70"},
    {"bold_forms", E + "4\"aA" + E + "4>b" + E + "4$aB" + E + "4>b" + E + "4(aC", "f0f0f0", "f0"},
    {"reverse_then_bold", E + "4!a" + E + "4\"aX", "87", "87"},
    {"invisible", E + "4!a" + E + "4PaX", "77", "77"},
    {"other_rendition_byte_nothing", E + "4#aX", "70", "70"},
    {"first_byte_not_4_nothing", E + "5!aX", "70", "70"},
    {"longer_form_nothing", E + "4!!aX", "70", "70"},
    {"b_other_form_nothing", E + "4!a" + E + "4?bX", "07", "07"},
    {"reset_needs_the_flag", E + "4!a" + E + ">BX", "07", "07"},
    {"reset_with_the_flag", E + "4!a" + E + "@" + E + ">BX", "70", "70"},
    {"flag_is_used_once", E + "4!a" + E + "@" + E + ">B" + E + "4!a" + E + ">BX", "07", "07"},
    {"flag_cleared_by_other_sequence", E + "4!a" + E + "@" + E + "C" + E + ">BX", "0007", "07"},
    {"flag_kept_by_cursor_down", E + "4!a" + E + "@" + E + "B" + E + ">B", "", "70"},
    {"flag_kept_by_other_b_form", E + "4!a" + E + "@" + E + "xB" + E + ">BX", "70", "70"},
};

TEST(Ibm3151, Attributes) { expectCases(TERM_IBM3151, ibmAttributeCases); }

// Erase from home keeps every row, whatever the region (unlike the VT52).
TEST(Ibm3151, EraseAtHomeKeepsAllRowsWhateverTheRegion) {
  reset(4);
  feed("r0\r\nr1" + E + "[2;4r");
  terminalOptions.emulation = 10;
  feed(E + "J");
  EXPECT_EQ(screen.historyLines, 24);
  EXPECT_EQ(historyRow(24), "r0");
}

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

// Bytes under one emulation, then bytes under the next: a half-collected
// sequence is dropped. (That an armed address or the IBM's reset flag never
// outlives its emulation is an invariant of the receive fuzzer.)
TEST(EmulationSwitch, HalfCollectedSequenceIsDropped) {
  const struct {
    int first;
    std::string before;
    int second;
    std::string after, screen;
  } cases[] = {
      // "4X" is text, not the rest of a VT sequence ending in X (erase characters).
      {8, "ab" + E + "G", 4, "4X", "ab4X"},
      {4, "ab" + E + "[2", 3, "5H", "ab5H"},          // not cursor home
      {3, "ab" + E + "[", 4, "12;1Hx", "ab12;1Hx"},  // the digits are text too
      {10, E + "Y", 3, "!!X", "!!X"},                // the VT52 has its own ESC Y
  };
  for (const auto& c : cases) {
    reset(c.first);
    feed(c.before);
    terminalOptions.emulation = c.second;
    feed(c.after);
    EXPECT_EQ(screenText(), c.screen);
    EXPECT_FALSE(emulator.inSequence) << c.screen;
  }
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
void wideWithoutWrap(int emulation) {
  reset(emulation, 24, 255);
  terminalOptions.autowrap = false;
  emulatorConnectionStart();
}

TEST(CursorPastLastCell, NextLineUntouched) {
  const std::pair<int, std::vector<std::string>> inputs[] = {
      {8, {E + "Q", E + "QQQ", E + "W", E + "G4", E + "G8Z", E + "GT", E + "G0", E + "T", E + "I", "\x0c\x0c",
           E + "qZZ", "\x7f"}},
      {10, {E + "4!a", E + "4\"aZ", E + "4=b", E + "Q", E + "I", E + "C", E + "D"}},
      {3, {E + "K", E + "C", E + "D", E + "Z"}},
      {4, {E + "[44m", E + "[5@", E + "[5P", E + "[5X", E + "[K", E + "[1K", "\x7f", E + "[4hZ", "Z", E + "[6n",
           "\t"}},
  };
  for (const auto& [emulation, list] : inputs) {
    for (const std::string& input : list) {
      SCOPED_TRACE(std::to_string(emulation) + " " + input);
      wideWithoutWrap(emulation);
      std::string to = emulation == 8 ? "=" : "Y";
      if (emulation == 4) feed(E + "[2;1HN" + E + "[1;1H" + std::string(255, 'a'));
      else feed(E + to + "! N" + E + to + "  " + std::string(255, 'a'));
      ASSERT_EQ(cursor(), "1,256");
      feed(input);
      EXPECT_EQ(row(1), "N");
      EXPECT_EQ(attrs(1), "70");
      EXPECT_LE(lineAt(0).used, 255);
      EXPECT_GE(screen.column, 0);
      EXPECT_LE(screen.column, 255);
    }
  }
}

TEST(CursorPastLastCell, InsertedBlankPastTheLastCellKeepsTheLine) {
  wideWithoutWrap(8);
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

TEST(CursorAddress, SameInEveryAddressingEmulation) {
  for (auto [emulation, introducer] : {std::pair{TERM_VT52, 'Y'}, std::pair{TERM_WYSE50, '='}, std::pair{TERM_IBM3151, 'Y'}}) {
    SCOPED_TRACE(emulation);
    for (ScreenCase c : addressCases) {
      if (c.emulation == TERM_VT52 && emulation == TERM_WYSE50) continue;
      std::replace(c.input.begin(), c.input.end(), '^', introducer);
      expectCase(emulation, c);
    }
  }
}

}  // namespace
