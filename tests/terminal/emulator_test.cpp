// The VT family interpreter driven through the receive path: bytes in, screen,
// cursor and replies out.
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

struct Case {
  const char* name;
  int emulation;
  std::string input;
  std::string screen;  // rows joined by "|", trailing empty rows left out
  std::string cursor;  // 1-based row,column
  std::string reply;
};

const std::string E = "\033";

const Case cases[] = {
    // Cursor movement
    {"cursor_position", 4, E + "[5;10HX", "||||         X", "5,11", ""},
    {"cursor_position_clamped", 4, E + "[99;999H", "", "24,80", ""},
    {"cursor_position_row_only", 4, E + "[3H", "", "3,1", ""},
    {"cursor_position_column_only", 4, E + "[;7H", "", "1,7", ""},
    {"cursor_position_semicolon_alone", 4, E + "[5;5H" + E + "[;H", "", "1,1", ""},
    {"cursor_position_missing_column", 4, E + "[4;H", "", "4,1", ""},
    {"hvp_same_as_cup", 4, E + "[2;3f", "", "2,3", ""},
    {"huge_parameter_saturates", 4, E + "[99999999999999999999;99999999999999999999H", "", "24,80", ""},
    {"cursor_up_stops_at_top", 4, E + "[3;1H" + E + "[9A", "", "1,1", ""},
    {"cursor_up_default_one", 4, E + "[3;1H" + E + "[A", "", "2,1", ""},
    {"cursor_up_explicit_zero", 4, E + "[3;1H" + E + "[0A", "", "3,1", ""},
    {"esc_a_alone_nothing", 4, E + "[3;1H" + E + "A", "", "3,1", ""},
    {"cursor_down_stops_at_bottom", 4, E + "[50B", "", "24,1", ""},
    {"ss3_cursor_down", 4, E + "OB", "", "2,1", ""},
    {"cursor_left_stops", 4, "abc" + E + "[9D", "abc", "1,1", ""},
    {"cursor_left_ss3", 4, "abc" + E + "OD", "abc", "1,3", ""},
    {"cursor_right_wraps_with_autowrap", 4, E + "[1;79H" + E + "[5C", "", "2,4", ""},
    {"cursor_right_clamped_without_autowrap", 4, E + "[?7l" + E + "[1;79H" + E + "[5C", "", "1,80", ""},
    {"backspace_bounded", 4, "a\b\b\bZ", "Z", "1,2", ""},
    {"tab_stops", 4, "a\tb", "a       b", "1,10", ""},
    {"tab_near_end_stops_at_last_column", 4, E + "[1;75H\t", "", "1,80", ""},
    {"save_restore_a", 4, E + "[3;4H" + E + "7" + E + "[H" + E + "8X", "||   X", "3,5", ""},
    {"save_restore_b", 4, E + "[2;2H" + E + "[s" + E + "[H" + E + "[uY", "| Y", "2,3", ""},
    {"save_a_and_b_independent", 4, E + "[2;2H" + E + "7" + E + "[5;5H" + E + "[s" + E + "8A" + E + "[uB",
     "| A|||    B", "5,6", ""},
    // Index, reverse index, next line
    {"index_moves_down", 4, "a" + E + "Db", "a| b", "2,3", ""},
    {"next_line", 4, "ab" + E + "Ec", "ab|c", "2,2", ""},
    {"reverse_index_moves_up", 4, E + "[3;1H" + E + "Mx", "|x", "2,2", ""},
    {"reverse_index_at_top_scrolls_down", 4, "top" + E + "[H" + E + "Mnew", "new|top", "1,4", ""},
    // Scrolls with text on the moving rows, so the window check sees the strips
    {"text_wraps_when_a_character_needs_the_cell", 4, E + "[1;79Habc", std::string(78, ' ') + "ab|c", "2,2", ""},
    {"line_feed_on_last_row_scrolls_screen", 4, E + "[23;1Hup" + E + "[24;1Hbottom\n", std::string(21, '|') + "up|bottom",
     "24,7", ""},
    {"region_scroll_leaves_rows_below", 4, E + "[4;1Hz\r\ny" + E + "[2;3r" + E + "[2;1Hb\r\nc\n", "|c||z|y", "3,2", ""},
    {"insert_lines_push_rows_down", 4, "a\r\nb\r\nc" + E + "[1;1H" + E + "[2L", "||a|b|c", "1,1", ""},
    {"delete_lines_pull_rows_up", 4, "a\r\nb\r\nc" + E + "[1;1H" + E + "[2M", "c", "1,1", ""},
    // Erasing
    {"erase_line_to_end", 4, "abcdef" + E + "[1;3H" + E + "[K", "ab", "1,3", ""},
    {"erase_line_to_start", 4, "abcdef" + E + "[1;3H" + E + "[1K", "  cdef", "1,3", ""},
    {"erase_whole_line", 4, "abcdef" + E + "[2K", "", "1,7", ""},
    {"erase_line_other_digit", 4, "abcdef" + E + "[1;3H" + E + "[3K", "abcdef", "1,3", ""},
    {"erase_display_below", 4, "aaa\r\nbbb\r\nccc" + E + "[2;2H" + E + "[J", "aaa|b", "2,2", ""},
    {"erase_display_above", 4, "aaa\r\nbbb\r\nccc" + E + "[2;2H" + E + "[1J", "| bb|ccc", "2,2", ""},
    {"erase_display_all", 4, "aaa\r\nbbb" + E + "[2J", "", "1,1", ""},
    {"erase_characters", 4, "abcdef" + E + "[1;2H" + E + "[2X", "a  def", "1,2", ""},
    {"selective_erase_needs_erasable", 4, "abc" + E + "[?K", "abc", "1,4", ""},
    {"selective_erase_after_protection_off", 4, "abc" + E + "[0\"q" + E + "[1;2H" + E + "[?K", "a", "1,2", ""},
    {"selective_erase_display", 4, "abc" + E + "[\"q" + E + "[1;2H" + E + "[?J", "a", "1,2", ""},
    {"protection_on_again", 4, "abc" + E + "[\"q" + E + "[1\"q" + E + "[1;2H" + E + "[?K", "abc", "1,2", ""},
    // Editing
    {"delete_characters", 4, "abcdef" + E + "[1;2H" + E + "[2P", "adef", "1,2", ""},
    {"delete_characters_zero_is_one", 4, "abcdef" + E + "[1;2H" + E + "[0P", "acdef", "1,2", ""},
    {"delete_characters_bounded", 4, "abcdef" + E + "[1;2H" + E + "[99P", "a", "1,2", ""},
    {"insert_characters", 4, "abcdef" + E + "[1;2H" + E + "[2@", "a  bcdef", "1,2", ""},
    {"insert_characters_bounded_by_row", 4, E + "[1;78Habc" + E + "[1;78H" + E + "[99@", std::string(80, ' '), "1,78", ""},
    {"insert_lines", 4, "a\r\nb\r\nc" + E + "[2;1H" + E + "[L", "a||b|c", "2,1", ""},
    {"delete_lines", 4, "a\r\nb\r\nc" + E + "[1;1H" + E + "[2M", "c", "1,1", ""},
    {"esc_l_alone_nothing", 4, "a\r\nb" + E + "[1;1H" + E + "L", "a|b", "1,1", ""},
    {"insert_mode", 4, "abc" + E + "[1;2H" + E + "[4hX" + E + "[4lY", "aXYc", "1,4", ""},
    // Character sets
    {"line_drawing_vt100", 4, E + "(0lqqk" + E + "(Bx", "|--|x", "1,6", ""},
    {"line_drawing_ignored_ansi_color", 2, E + "(0lqqk", "lqqk", "1,5", ""},
    {"line_drawing_g1_with_shift_out", 4, E + ")0a\x0emq\x0fq", "a|-q", "1,5", ""},
    {"g1_back_to_ascii", 4, E + ")0" + E + ")B\x0eq", "q", "1,2", ""},
    // Modes
    {"column_mode_132", 4, "abc" + E + "[?3h" + E + "[1;200H", "abc", "1,132", ""},
    {"column_mode_80", 4, E + "[?3h" + E + "[?3l" + E + "[1;200H", "", "1,80", ""},
    // Sequence ends
    {"greater_than_ends_sequence", 4, E + "[>c", "c", "1,2", ""},
    {"unknown_final_ignored", 4, E + "[5}a" + E + "[2~b", "ab", "1,3", ""},
    {"line_size_ignored", 4, E + "#3x", "x", "1,2", ""},
    {"tab_set_ignored", 4, E + "Hx", "x", "1,2", ""},
    {"cr_ends_sequence", 4, "abc" + E + "[1\rX", "Xbc", "1,2", ""},
    {"can_ends_sequence", 4, "a" + E + "[1;5\x18" "b", "ab", "1,3", ""},
    {"esc_restarts_sequence", 4, E + "[12" + E + "[2;2HZ", "| Z", "2,3", ""},
    {"control_string_swallowed", 4, "a" + E + "P1;1|17/ab" + E + "\\b", "ab", "1,3", ""},
    {"control_string_ends_on_cr", 4, "a" + E + "Pxyz\rb", "b", "1,2", ""},
    {"tty_ignores_escape", 1, E + "[2J" + "x", "[2Jx", "1,5", ""},
    // Replies
    {"cursor_report", 4, E + "[3;10H" + E + "[6n", "", "3,10", E + "[3;10R"},
    {"cursor_report_eight_bit", 6, E + "[3;10H" + E + " G" + E + "[6n", "", "3,10", "\x9b" "3;10R"},
    {"status_report", 4, E + "[5n", "", "1,1", E + "[0n"},
    {"status_report_vt100_stays_seven_bit", 4, E + " G" + E + "[5n", "", "1,1", E + "[0n"},
    {"status_report_vt102_eight_bit", 5, E + " G" + E + "[5n", "", "1,1", "\x9b" "0n"},
    {"user_keys_report", 6, E + "[?25n", "", "1,1", E + "[?20n"},
    {"unknown_status_no_reply", 4, E + "[7n", "", "1,1", ""},
    {"device_attributes_vt100", 4, E + "[c" + E + "c", "", "1,1", E + "[?1;2c" + E + "[?1;2c"},
    {"device_attributes_with_parameter_silent", 4, E + "[0c", "", "1,1", ""},
    {"identify_ansi_color", 2, E + "Z", "", "1,1", E + "[?1;2c"},
    {"identify_vt102", 5, E + "Z", "", "1,1", E + "[?6c"},
    {"identify_vt220", 6, E + "Z", "", "1,1", E + "[?62;1;2;9;11;14c"},
    {"identify_vt220_eight_bit", 6, E + " G" + E + "Z", "", "1,1", "\x9b?62;1;2;9;11;14c"},
    {"identify_vt320", 7, E + "Z", "", "1,1", E + "[?63;1;2;9;11;14c"},
    {"identify_vt320_back_to_seven_bit", 7, E + " G" + E + " F" + E + "Z", "", "1,1", E + "[?63;1;2;9;11;14c"},
    {"identify_sco_silent", 9, E + "Z" + E + "[c", "", "1,1", ""},
    {"identify_vt100_eight_bit_ignored", 4, E + " G" + E + "Z", "", "1,1", E + "[?1;2c"},
    // Eight-bit controls
    {"csi_eight_bit_vt220", 6, "\x9b" "5;5HX", "||||    X", "5,6", ""},
    {"csi_is_a_character_in_vt100", 4, "\x9b", "\x9b", "1,2", ""},
    {"ind_nel_ri_vt320", 7, "a\x84" "b\x85" "c\x8d" "d", "a| d|c", "2,3", ""},
    {"c1_inside_sequence_drops_it", 6, E + "[5\x86" "x", "x", "1,2", ""},
    {"dcs_and_st_vt220", 6, "a\x90" "stuff\x9c" "b", "ab", "1,3", ""},
    {"c1_in_vt102_printed", 5, "\x85", "\x85", "1,2", ""},
    // SCO scrolls
    {"sco_scroll_up", 9, "a\r\nb" + E + "[S", "b", "2,2", ""},
    {"sco_scroll_down", 9, "a\r\nb" + E + "[T", "|a|b", "2,2", ""},
    {"vt_family_s_is_no_final", 4, "a" + E + "[SHb", "b", "1,2", ""},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class EmulatorTable : public ::testing::TestWithParam<Case> {};

TEST_P(EmulatorTable, ScreenCursorReply) {
  const Case& c = GetParam();
  reset(c.emulation);
  feed(c.input);
  EXPECT_EQ(screenText(), c.screen);
  EXPECT_EQ(cursor(), c.cursor);
  EXPECT_EQ(wire.replies, c.reply);
  EXPECT_FALSE(emulator.inSequence) << "the sequence should have ended";
  // Erased characters (ECH) reach the window only at its next repaint.
  expectPathsAlike(c.emulation, c.input, std::string(c.name) != "erase_characters");
}

INSTANTIATE_TEST_SUITE_P(Sequences, EmulatorTable, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

struct AttrCase {
  const char* name;
  int emulation;
  std::string input;
  std::string attrs;  // attributes of row 1
};

const AttrCase attrCases[] = {
    {"default", 4, "ab", "7070"},
    {"bright_red_on_blue", 4, E + "[1;31;44mX" + E + "[0mY", "9470"},
    {"bold_only", 4, E + "[1mX", "f0"},
    {"underline_blink_bright", 4, E + "[4mA" + E + "[m" + E + "[5mB", "f0f0"},
    {"reverse", 4, E + "[7mX" + E + "[27mY", "0770"},
    {"invisible", 4, E + "[44;8mX", "44"},
    {"bold_off_keeps_reverse", 4, E + "[7;1mA" + E + "[22mB", "8707"},
    {"reverse_off_keeps_bold", 4, E + "[1;7mA" + E + "[27mB", "0ff0"},
    {"colour_without_bold", 2, E + "[32;41mX", "21"},
    {"empty_piece_is_reset", 2, E + "[31;mX", "70"},
    {"unknown_rendition_ignored", 2, E + "[31;99mX", "10"},
    {"cell_under_cursor_takes_rendition", 4, "ab" + E + "[1;1H" + E + "[1m", "f070"},
};

void PrintTo(const AttrCase& c, std::ostream* os) { *os << c.name; }

class AttributeTable : public ::testing::TestWithParam<AttrCase> {};

TEST_P(AttributeTable, RowAttributes) {
  const AttrCase& c = GetParam();
  reset(c.emulation);
  feed(c.input);
  EXPECT_EQ(attrs(0), c.attrs);
  expectPathsAlike(c.emulation, c.input);
}

INSTANTIATE_TEST_SUITE_P(Rendition, AttributeTable, ::testing::ValuesIn(attrCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EmulatorModes, FlagsFollowTheirSequences) {
  reset(4);
  feed(E + "=");
  EXPECT_TRUE(emulator.keypadApplication);
  feed(E + ">");
  EXPECT_FALSE(emulator.keypadApplication);
  feed(E + "[?1h" + E + "[?8l" + E + "[?20h");
  EXPECT_TRUE(emulator.cursorKeysApplication);
  EXPECT_FALSE(emulator.autoRepeat);
  EXPECT_TRUE(emulator.newLineMode);
  // Only fixed positions are looked at: ?12 sets cursor keys, ?25 does nothing.
  feed(E + "[?1l" + E + "[?12h");
  EXPECT_TRUE(emulator.cursorKeysApplication);
  bool wrap = emulator.autowrap;
  feed(E + "[?25l");
  EXPECT_EQ(emulator.autowrap, wrap);
  feed(E + "[?7l");
  EXPECT_FALSE(emulator.autowrap);
}

}  // namespace
