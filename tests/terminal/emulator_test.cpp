// The VT family interpreter driven through the receive path: bytes in, screen,
// cursor and replies out.
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

const ScreenCase cases[] = {
    // Cursor movement
    {"cursor_position", E + "[5;10HX", "||||         X", "5,11", "", 4},
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
    {"index_moves_down", "a" + E + "Db", "a| b", "2,3", "", 4},
    {"next_line", "ab" + E + "Ec", "ab|c", "2,2", "", 4},
    {"reverse_index_moves_up", E + "[3;1H" + E + "Mx", "|x", "2,2", "", 4},
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
    {"huge_region", E + "[4294967297;4294967298r" + "x", "x", "1,2", "", 4},
    {"huge_rendition", E + "[4294967297;4294967327mx", "x", "1,2", "", 4},
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
    {"default", "ab", "7070", "", 4},
    {"bright_red_on_blue", E + "[1;31;44mX" + E + "[0mY", "9470", "", 4},
    {"bold_only", E + "[1mX", "f0", "", 4},
    {"underline_blink_bright", E + "[4mA" + E + "[m" + E + "[5mB", "f0f0", "", 4},
    {"reverse", E + "[7mX" + E + "[27mY", "0770", "", 4},
    {"invisible", E + "[44;8mX", "44", "", 4},
    {"bold_off_keeps_reverse", E + "[7;1mA" + E + "[22mB", "8707", "", 4},
    {"reverse_off_keeps_bold", E + "[1;7mA" + E + "[27mB", "0ff0", "", 4},
    {"colour_without_bold", E + "[32;41mX", "21", "", 2},
    {"empty_piece_is_reset", E + "[31;mX", "70", "", 2},
    {"unknown_rendition_ignored", E + "[31;99mX", "10", "", 2},
    {"cell_under_cursor_takes_rendition", "ab" + E + "[1;1H" + E + "[1m", "f070", "", 4},
    // ESC [ 0 m also gives the cell under the cursor (cell 3) the default attribute.
    {"insert_mode_moves_characters_not_attributes", "a" + E + "[7mbc" + E + "[0m" + E + "[1;2H" + E + "[4hX",
     "70700770", "", 4},
};

TEST(Emulator, Renditions) { expectCases(0, attrCases); }

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
