// The IBM 3151 emulation through the receive path: bytes in, screen, cursor
// and attributes out.
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

const ScreenCase cases[] = {
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

class IbmTable : public ::testing::TestWithParam<ScreenCase> {};
TEST_P(IbmTable, ScreenCursor) { expectScreenCase(10, GetParam()); }
INSTANTIATE_TEST_SUITE_P(Ibm3151, IbmTable, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

const AttributeCase attributeCases[] = {
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

class IbmAttributes : public ::testing::TestWithParam<AttributeCase> {};
TEST_P(IbmAttributes, FirstRowAndCurrent) { expectAttributeCase(10, GetParam()); }
INSTANTIATE_TEST_SUITE_P(Ibm3151, IbmAttributes, ::testing::ValuesIn(attributeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Erase from home keeps every row, whatever the region (unlike the VT52).
TEST(Ibm3151, EraseAtHomeKeepsAllRowsWhateverTheRegion) {
  reset(4);
  feed("r0\r\nr1" + E + "[2;4r");
  terminalOptions.emulation = 10;
  feed(E + "J");
  EXPECT_EQ(screen.historyLines, 24);
  EXPECT_EQ(historyRow(24), "r0");
}

}  // namespace
