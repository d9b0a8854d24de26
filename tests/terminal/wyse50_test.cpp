// The Wyse 50 emulation through the receive path: bytes in, screen, cursor
// and attributes out.
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

const ScreenCase cases[] = {
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

class WyseTable : public ::testing::TestWithParam<ScreenCase> {};
TEST_P(WyseTable, ScreenCursor) { expectScreenCase(8, GetParam()); }
INSTANTIATE_TEST_SUITE_P(Wyse50, WyseTable, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

const AttributeCase attributeCases[] = {
    {"g4_bright_g0_normal", E + "G4X" + E + "G0Y", "f070", "70"},
    {"g8_bright", E + "G8X", "f0", "f0"},
    {"gt_bright", E + "GTX", "f0", "f0"},
    {"gt_lower_case_bright", E + "GtX", "f0", "f0"},
    {"zero_alone_ends_without_effect", "a" + E + "G4" + E + "0b", "70f0", "f0"},
    {"earlier_cells_keep_their_attribute", "ab" + E + "G4c", "7070f0", "f0"},
    {"inserted_blank_gets_attribute_zero", "ab" + E + "= !" + E + "Q", "700070", "70"},
    {"deleted_character_takes_its_attribute", "a" + E + "G4bc" + E + "G0d" + E + "= !" + E + "W", "70f070", "70"},
};

class WyseAttributes : public ::testing::TestWithParam<AttributeCase> {};
TEST_P(WyseAttributes, FirstRowAndCurrent) { expectAttributeCase(8, GetParam()); }
INSTANTIATE_TEST_SUITE_P(Wyse50, WyseAttributes, ::testing::ValuesIn(attributeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
