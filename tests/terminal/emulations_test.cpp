// The VT family, VT52, Wyse 50 and IBM 3151 emulations driven through the
// receive path (bytes in; screen, cursor, replies and attributes out), then
// what every emulation shares: sequences split across receive blocks, changes
// of emulation between bytes, and a cursor past the line's last cell. Last,
// the termplay tool that plays them.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "terminal/terminal_type.h"
#include "tests/support/tool_runner.h"
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

TEST(Vt52, RightWithoutAutowrapStopsAtLineEnd) {
  reset(3);
  terminalOptions.autowrap = false;
  emulatorConnectionStart();
  feed(E + "Y o" + E + "C" + E + "C");
  EXPECT_EQ(cursor(), "1,82");
  for (int i = 0; i < 300; ++i) feed(E + "C");
  EXPECT_EQ(cursor(), "1,255");
}

// A region set by the VT family stays when the emulation changes (what the
// VT52's erase from home keeps under it is in the scrollback tests).
TEST(Vt52, RegionSetByVtFamily) {
  reset(4);
  feed("r0\r\nr1\r\nr2\r\nr3\r\nr4\r\nr5" + E + "[2;4r");
  terminalOptions.emulation = 3;
  feed(E + "Y# " + E + "B" + E + "B");  // down stops at the region bottom
  EXPECT_EQ(cursor(), "4,1");
  feed(E + "H" + E + "I");  // row 0 scrolls the region down
  EXPECT_EQ(screenText(), "r0||r1|r2|r4|r5");
  EXPECT_EQ(cursor(), "1,1");
}

const ScreenCase wyseCases[] = {
    // Clearing and erasing
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

// The VT family.
const ScreenCase cases[] = {
    // Cursor movement
    {"cursor_position_row_only", E + "[3H", "", "3,1", "", 4},
    {"cursor_position_column_only", E + "[;7H", "", "1,7", "", 4},
    {"cursor_position_semicolon_alone", E + "[5;5H" + E + "[;H", "", "1,1", "", 4},
    {"cursor_position_missing_column", E + "[4;H", "", "4,1", "", 4},
    {"hvp_same_as_cup", E + "[2;3f", "", "2,3", "", 4},
    {"cursor_up_default_one", E + "[3;1H" + E + "[A", "", "2,1", "", 4},
    {"cursor_up_explicit_zero", E + "[3;1H" + E + "[0A", "", "3,1", "", 4},
    {"esc_a_alone_nothing", E + "[3;1H" + E + "A", "", "3,1", "", 4},
    {"ss3_cursor_down", E + "OB", "", "2,1", "", 4},
    {"cursor_left_stops", "abc" + E + "[9D", "abc", "1,1", "", 4},
    {"cursor_left_ss3", "abc" + E + "OD", "abc", "1,3", "", 4},
    {"cursor_right_wraps_with_autowrap", E + "[1;79H" + E + "[5C", "", "2,4", "", 4},
    {"cursor_right_clamped_without_autowrap", E + "[?7l" + E + "[1;79H" + E + "[5C", "", "1,80", "", 4},
    {"backspace_bounded", "a\b\b\bZ", "Z", "1,2", "", 4},
    {"tab_stops", "a\tb", "a       b", "1,10", "", 4},
    {"tab_near_end_stops_at_last_column", E + "[1;75H\t", "", "1,80", "", 4},
    {"save_a_and_b_independent", E + "[2;2H" + E + "7" + E + "[5;5H" + E + "[s" + E + "8A" + E + "[uB",
     "| A|||    B", "5,6", "", 4},
    // Index, reverse index, next line
    {"reverse_index_at_top_scrolls_down", "top" + E + "[H" + E + "Mnew", "new|top", "1,4", "", 4},
    // Scrolls with text on the moving rows, so the window check sees the strips
    {"autowrap_defers_until_the_next_character", E + "[1;79Hab", std::string(78, ' ') + "ab", "1,81", "", 4},
    {"text_wraps_when_a_character_needs_the_cell", E + "[1;79Habc", std::string(78, ' ') + "ab|c", "2,2", "", 4},
    {"line_feed_on_last_row_scrolls_screen", E + "[23;1Hup" + E + "[24;1Hbottom\n", std::string(21, '|') + "up|bottom",
     "24,7", "", 4},
    {"region_scroll_leaves_rows_below", E + "[4;1Hz\r\ny" + E + "[2;3r" + E + "[2;1Hb\r\nc\n", "|c||z|y", "3,2", "", 4},
    {"insert_lines_push_rows_down", "a\r\nb\r\nc" + E + "[1;1H" + E + "[2L", "||a|b|c", "1,1", "", 4},
    {"delete_lines_pull_rows_up", "a\r\nb\r\nc" + E + "[1;1H" + E + "[2M", "c", "1,1", "", 4},
    // Erasing
    {"erase_line_to_end", "abcdef" + E + "[1;3H" + E + "[K", "ab", "1,3", "", 4},
    {"erase_line_to_start", "abcdef" + E + "[1;3H" + E + "[1K", "  cdef", "1,3", "", 4},
    {"erase_whole_line", "abcdef" + E + "[2K", "", "1,7", "", 4},
    {"erase_line_other_digit", "abcdef" + E + "[1;3H" + E + "[3K", "abcdef", "1,3", "", 4},
    {"erase_display_below", "aaa\r\nbbb\r\nccc" + E + "[2;2H" + E + "[J", "aaa|b", "2,2", "", 4},
    {"erase_display_above", "aaa\r\nbbb\r\nccc" + E + "[2;2H" + E + "[1J", "| bb|ccc", "2,2", "", 4},
    {"erase_display_all", "aaa\r\nbbb" + E + "[2J", "", "1,1", "", 4},
    {"erase_characters", "abcdef" + E + "[1;2H" + E + "[2X", "a  def", "1,2", "", 4},
    {"selective_erase_needs_erasable", "abc" + E + "[?K", "abc", "1,4", "", 4},
    {"selective_erase_after_protection_off", "abc" + E + "[0\"q" + E + "[1;2H" + E + "[?K", "a", "1,2", "", 4},
    {"selective_erase_display", "abc" + E + "[\"q" + E + "[1;2H" + E + "[?J", "a", "1,2", "", 4},
    {"protection_on_again", "abc" + E + "[\"q" + E + "[1\"q" + E + "[1;2H" + E + "[?K", "abc", "1,2", "", 4},
    // Editing
    {"delete_characters", "abcdef" + E + "[1;2H" + E + "[2P", "adef", "1,2", "", 4},
    {"delete_characters_zero_is_one", "abcdef" + E + "[1;2H" + E + "[0P", "acdef", "1,2", "", 4},
    {"insert_characters", "abcdef" + E + "[1;2H" + E + "[2@", "a  bcdef", "1,2", "", 4},
    {"insert_characters_bounded_by_row", E + "[1;78Habc" + E + "[1;78H" + E + "[99@", std::string(80, ' '), "1,78", "", 4},
    {"insert_lines", "a\r\nb\r\nc" + E + "[2;1H" + E + "[L", "a||b|c", "2,1", "", 4},
    {"esc_l_alone_nothing", "a\r\nb" + E + "[1;1H" + E + "L", "a|b", "1,1", "", 4},
    {"insert_mode", "abc" + E + "[1;2H" + E + "[4hX" + E + "[4lY", "aXYc", "1,4", "", 4},
    // Counts far past any screen: parsing saturates and every count is clamped
    // before it is used (a 32-bit wrap of 4294967297 would read as 1).
    {"huge_up", E + "[10;1H" + E + "[4294967297A", "", "1,1", "", 4},
    {"huge_down", E + "[4294967297B", "", "24,1", "", 4},
    {"huge_right", E + "[?7l" + E + "[4294967297C", "", "1,80", "", 4},
    {"huge_right_wrapping", E + "[4294967297C", "", "24,16", "", 4},  // 65535 = 819 rows and 15 columns
    {"huge_left", E + "[1;50H" + E + "[4294967297D", "", "1,1", "", 4},
    {"huge_position", E + "[4294967297;4294967297H", "", "24,80", "", 4},
    {"huge_insert_chars", "abc" + E + "[1;2H" + E + "[4294967297@", "a" + std::string(79, ' '), "1,2", "", 4},
    {"huge_delete_chars", "abc" + E + "[1;2H" + E + "[4294967297P", "a", "1,2", "", 4},
    {"huge_erase_chars", "abc" + E + "[1;2H" + E + "[4294967297X", "a  ", "1,2", "", 4},
    {"huge_insert_lines", "a\r\nb" + E + "[1;1H" + E + "[4294967297L", "", "1,1", "", 4},
    {"huge_delete_lines", "a\r\nb" + E + "[2;1H" + E + "[4294967297M", "a", "2,1", "", 4},
    // Character sets
    {"line_drawing_vt100", E + "(0lqqk" + E + "(Bx", "|--|x", "1,6", "", 4},
    {"line_drawing_ignored_ansi_color", E + "(0lqqk", "lqqk", "1,5", "", 2},
    {"line_drawing_g1_with_shift_out", E + ")0a\x0emq\x0fq", "a|-q", "1,5", "", 4},
    {"g1_back_to_ascii", E + ")0" + E + ")B\x0eq", "q", "1,2", "", 4},
    // Modes
    {"column_mode_132", "abc" + E + "[?3h" + E + "[1;200H", "abc", "1,132", "", 4},
    {"column_mode_80", E + "[?3h" + E + "[?3l" + E + "[1;200H", "", "1,80", "", 4},
    // Sequence ends
    {"greater_than_ends_sequence", E + "[>c", "c", "1,2", "", 4},
    {"unknown_final_ignored", E + "[5}a" + E + "[2~b", "ab", "1,3", "", 4},
    {"line_size_ignored", E + "#3x", "x", "1,2", "", 4},
    {"tab_set_ignored", E + "Hx", "x", "1,2", "", 4},
    {"cr_ends_sequence", "abc" + E + "[1\rX", "Xbc", "1,2", "", 4},
    {"can_ends_sequence", "a" + E + "[1;5\x18" "b", "ab", "1,3", "", 4},
    {"esc_restarts_sequence", E + "[12" + E + "[2;2HZ", "| Z", "2,3", "", 4},
    {"control_string_swallowed", "a" + E + "P1;1|17/ab" + E + "\\b", "ab", "1,3", "", 4},
    {"control_string_ends_on_cr", "a" + E + "Pxyz\rb", "b", "1,2", "", 4},
    {"tty_ignores_escape", E + "[2J" + "x", "[2Jx", "1,5", "", 1},
    // A sequence that fills the buffer is abandoned with its final; a control
    // string loses its first 253 bytes and what follows is text again.
    {"overlong_sequence_abandoned", E + "[" + std::string(253, '1') + "Cok", "ok", "1,3", "", 4},
    {"longest_sequence_runs", E + "[" + std::string(251, '0') + "5Cx", "     x", "1,7", "", 4},
    {"overlong_sequence_then_escape", E + "[" + std::string(253, '1') + E + "[2;2HZ", "| Z", "2,3", "", 4},
    {"overlong_control_string", "a" + E + "P" + std::string(400, 'q') + "b",
     "a" + std::string(79, 'q') + "|" + std::string(67, 'q') + "b", "2,69", "", 4},
    // Replies
    {"cursor_report", E + "[3;10H" + E + "[6n", "", "3,10", E + "[3;10R", 4},
    {"cursor_report_eight_bit", E + "[3;10H" + E + " G" + E + "[6n", "", "3,10", "\x9b" "3;10R", 6},
    {"status_report", E + "[5n", "", "1,1", E + "[0n", 4},
    {"status_report_vt100_stays_seven_bit", E + " G" + E + "[5n", "", "1,1", E + "[0n", 4},
    {"status_report_vt102_eight_bit", E + " G" + E + "[5n", "", "1,1", "\x9b" "0n", 5},
    {"user_keys_report", E + "[?25n", "", "1,1", E + "[?20n", 6},
    {"unknown_status_no_reply", E + "[7n", "", "1,1", "", 4},
    {"device_attributes_vt100", E + "[c" + E + "c", "", "1,1", E + "[?1;2c" + E + "[?1;2c", 4},
    {"device_attributes_with_parameter_silent", E + "[0c", "", "1,1", "", 4},
    {"identify_ansi_color", E + "Z", "", "1,1", E + "[?1;2c", 2},
    {"identify_vt102", E + "Z", "", "1,1", E + "[?6c", 5},
    {"identify_vt220", E + "Z", "", "1,1", E + "[?62;1;2;9;11;14c", 6},
    {"identify_vt220_eight_bit", E + " G" + E + "Z", "", "1,1", "\x9b?62;1;2;9;11;14c", 6},
    {"identify_vt320", E + "Z", "", "1,1", E + "[?63;1;2;9;11;14c", 7},
    {"identify_vt320_back_to_seven_bit", E + " G" + E + " F" + E + "Z", "", "1,1", E + "[?63;1;2;9;11;14c", 7},
    {"identify_sco_silent", E + "Z" + E + "[c", "", "1,1", "", 9},
    {"identify_vt100_eight_bit_ignored", E + " G" + E + "Z", "", "1,1", E + "[?1;2c", 4},
    // Eight-bit controls
    {"csi_eight_bit_vt220", "\x9b" "5;5HX", "||||    X", "5,6", "", 6},
    {"csi_is_a_character_in_vt100", "\x9b", "\x9b", "1,2", "", 4},
    {"ind_nel_ri_vt320", "a\x84" "b\x85" "c\x8d" "d", "a| d|c", "2,3", "", 7},
    {"c1_inside_sequence_drops_it", E + "[5\x86" "x", "x", "1,2", "", 6},
    {"dcs_and_st_vt220", "a\x90" "stuff\x9c" "b", "ab", "1,3", "", 6},
    {"c1_in_vt102_printed", "\x85", "\x85", "1,2", "", 5},
    // SCO scrolls
    // The Wyse 50's single-byte controls are line feeds to the VT family.
    {"wyse_controls_in_vt100", "a\x0b" "b\x0c" "c\x1e\x1a", "a| b|  c", "3,4", "", 4},
    {"sco_scroll_up", "a\r\nb" + E + "[S", "b", "2,2", "", 9},
    {"sco_scroll_down", "a\r\nb" + E + "[T", "|a|b", "2,2", "", 9},
    {"vt_family_s_is_no_final", "a" + E + "[SHb", "b", "1,2", "", 4},
};

TEST(Emulator, Sequences) { expectCases(0, cases); }

const AttributeCase attrCases[] = {
    {"bright_red_on_blue", E + "[1;31;44mX" + E + "[0mY", "9470", "", 4},
    {"underline_blink_bright", E + "[4mA" + E + "[m" + E + "[5mB", "f0f0", "", 4},
    {"reverse", E + "[7mX" + E + "[27mY", "0770", "", 4},
    {"invisible", E + "[44;8mX", "44", "", 4},
    {"bold_off_keeps_reverse", E + "[7;1mA" + E + "[22mB", "8707", "", 4},
    {"reverse_off_keeps_bold", E + "[1;7mA" + E + "[27mB", "0ff0", "", 4},
    {"colour_without_bold", E + "[32;41mX", "21", "", 2},
    {"empty_piece_is_reset", E + "[31;mX", "70", "", 2},
    {"unknown_rendition_ignored", E + "[31;99mX", "10", "", 2},
    {"cell_under_cursor_takes_rendition", "ab" + E + "[1;1H" + E + "[1m", "f070", "", 4},
    // Extended colours take their numbers whole; the colour emulations (2) take
    // the nearest of 16, the others (4) ignore them; what follows still applies.
    {"indexed_background", E + "[48;5;4mX", "74", "", 2},
    {"indexed_foreground_cube_red", E + "[38;5;196mX", "90", "", 2},
    {"indexed_grey_ramp", E + "[38;5;250mX", "70", "", 2},
    {"indexed_bright_low_entry", E + "[48;5;12mX", "7c", "", 2},
    {"rgb_foreground_and_more", E + "[38;2;0;250;0;44mX", "a4", "", 2},
    {"extended_then_bold", E + "[48;5;1;1mX", "f1", "", 2},
    {"ignored_without_colour", E + "[48;5;7mA" + E + "[38;2;1;5;7;4mB", "70f0", "", 4},
    {"colon_forms", E + "[38:5:2mA" + E + "[38:2::0:0:255mB" + E + "[4:3mC", "20c0c0", "", 2},
    {"cut_short", E + "[31;38;5mX", "10", "", 2},
    // ESC [ 0 m also gives the cell under the cursor (cell 3) the default attribute.
    {"insert_mode_moves_characters_not_attributes", "a" + E + "[7mbc" + E + "[0m" + E + "[1;2H" + E + "[4hX",
     "70700770", "", 4},
};

TEST(Emulator, Renditions) { expectCases(0, attrCases); }

TEST(EmulatorModes, FlagsFollowTheirSequences) {
  for (int emulation : {TERM_VT52, TERM_VT100}) {
    reset(emulation);
    feed(E + "=");
    EXPECT_TRUE(emulator.keypadApplication) << emulation;
    feed(E + ">");
    EXPECT_FALSE(emulator.keypadApplication) << emulation;
  }
  reset(TERM_VT52);
  feed(E + "Y=");  // inside address mode "=" is a row code
  EXPECT_FALSE(emulator.keypadApplication);
}

// Every mode number is read whole: what current hosts send before each prompt
// (?2004), around full-screen programs (?1049, ?1000) or from vi (?12) must
// leave the six modes alone; each of the six follows its exact number only.
TEST(EmulatorModes, NumbersAreReadWhole) {
  struct Flags {
    bool keys, repeat, newLine, insert, wrap;
    int columns;
  };
  const struct {
    const char* name;
    std::string bytes;
    Flags want;  // from keys off, repeat on, new line off, insert off, wrap on, 80 columns
  } cases[] = {
      {"cursor_keys", E + "[?1h", {true, true, false, false, true, 80}},
      {"column_mode", E + "[?3h", {false, true, false, false, true, 132}},
      {"autowrap", E + "[?7l", {false, true, false, false, false, 80}},
      {"auto_repeat", E + "[?8l", {false, false, false, false, true, 80}},
      {"new_line", E + "[?20h", {false, true, true, false, true, 80}},
      {"insert", E + "[4h", {false, true, false, true, true, 80}},
      {"several_in_one", E + "[?1;20h" + E + "[?7;8l", {true, false, true, false, false, 80}},
      {"bracketed_paste", E + "[?2004h", {false, true, false, false, true, 80}},
      {"alternate_screen", E + "[?1049h" + E + "[?1049l" + E + "[?1047h", {false, true, false, false, true, 80}},
      {"mouse_and_blink", E + "[?1000h" + E + "[?1006h" + E + "[?12h" + E + "[?18h", {false, true, false, false, true, 80}},
      {"reset_leaves_others", E + "[?70l" + E + "[?80l" + E + "[?30h" + E + "[?200l", {false, true, false, false, true, 80}},
      {"private_and_ansi_apart", E + "[?4h" + E + "[1h" + E + "[20h" + E + "[7l", {false, true, false, false, true, 80}},
      {"not_numbers", E + "[?1xh" + E + "[?h" + E + "[4 h", {false, true, false, false, true, 80}},
      {"leading_zeros", E + "[?0001h" + E + "[04h", {true, true, false, true, true, 80}},
  };
  for (const auto& c : cases) {
    reset(TERM_VT100);
    terminalOptions.autowrap = true;
    emulatorConnectionStart();
    emulator.autoRepeat = true;
    feed(c.bytes);
    EXPECT_EQ(emulator.cursorKeysApplication, c.want.keys) << c.name;
    EXPECT_EQ(emulator.autoRepeat, c.want.repeat) << c.name;
    EXPECT_EQ(emulator.newLineMode, c.want.newLine) << c.name;
    EXPECT_EQ(emulator.insertMode, c.want.insert) << c.name;
    EXPECT_EQ(emulator.autowrap, c.want.wrap) << c.name;
    EXPECT_EQ(screen.columns, c.want.columns) << c.name;
  }
}

// The termplay tool end to end: its options and its exact output format.
// The tool's output and its messages, the bytes given on its standard input.
std::string run(const std::string& args, const std::string& input, int* status = nullptr) {
  std::string out;
  int rc = runTool("termplay", args, &out, &out, input);
  if (status) *status = rc;
  return out;
}

TEST(Termplay, FullOutputFormat) {
  std::string out = run("--rows 3", "ab\\\x80\r\n\033[1;31mZ\033[6n");
  EXPECT_EQ(out,
            "cursor 2 2\n"
            "screen\n"
            "|ab\\x5c\\x80|\n"
            "|Z|\n"
            "||\n"
            "attr\n"
            "70707070\n"
            "90\n"
            "\n"
            "reply \\x1b[2;2R\n"
            "history 0\n");
}

TEST(Termplay, CursorPastLastColumnAndOptions) {
  EXPECT_NE(run("--columns 132", std::string(132, 'x')).find("cursor 1 133\n"), std::string::npos);
  EXPECT_NE(run("--autowrap 0", std::string(300, 'x')).find("cursor 1 256\n"), std::string::npos);
  EXPECT_NE(run("--inbound-crlf", "a\r\nb").find("|a|\n||\n|b|\n"), std::string::npos);
  EXPECT_NE(run("--strip-high-bit", "\xe9").find("|i|\n"), std::string::npos);
  EXPECT_NE(run("", "\xe9").find("|\\xe9|\n"), std::string::npos);
  EXPECT_NE(run("--display-controls", "A\r\nB").find("|A<cr><lf>B|\n"), std::string::npos);
  EXPECT_NE(run("--emulation 6", "\033Z").find("reply \\x1b[?62;1;2;9;11;14c\n"), std::string::npos);
  EXPECT_NE(run("--emulation 1", "\033[2Jx").find("|[2Jx|\n"), std::string::npos);
  EXPECT_NE(run("--capacity 24", std::string(100, '\n')).find("history 0\n"), std::string::npos);
}

TEST(Termplay, BadArgumentsFailWithOneLine) {
  int status = 0;
  std::string out = run("--columns 100", "", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("termplay: --columns takes 80 or 132"), std::string::npos);
  run("--emulation 11", "", &status);
  EXPECT_NE(status, 0);
}

}  // namespace
