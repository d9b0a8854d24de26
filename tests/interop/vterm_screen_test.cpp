// Plain VT100 streams on which our emulator and libvterm, an independent VT
// emulator, must agree: the same text on every row and the same cursor.
#include <gtest/gtest.h>

#include <string>

extern "C" {
#include <vterm.h>
}

#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/surface_posix.h"
#include "terminal/terminal_state.h"

namespace {

const std::string E = "\033";
constexpr int ROWS = 24, COLUMNS = 80;

struct Result {
  std::string rows[ROWS];
  int row = 0, column = 0;
};

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

Result viaVterm(const std::string& bytes) {
  VTerm* vt = vterm_new(ROWS, COLUMNS);
  vterm_set_utf8(vt, 0);
  VTermScreen* vs = vterm_obtain_screen(vt);
  vterm_screen_reset(vs, 1);
  vterm_input_write(vt, bytes.data(), bytes.size());
  Result r;
  for (int row = 0; row < ROWS; ++row) {
    std::string line;
    for (int col = 0; col < COLUMNS; ++col) {
      VTermScreenCell cell;
      VTermPos pos{row, col};
      vterm_screen_get_cell(vs, pos, &cell);
      line += cell.chars[0] ? static_cast<char>(cell.chars[0]) : ' ';
    }
    r.rows[row] = trimmed(line);
  }
  VTermPos cursor;
  vterm_state_get_cursorpos(vterm_obtain_state(vt), &cursor);
  r.row = cursor.row;
  r.column = cursor.col;
  vterm_free(vt);
  return r;
}

Result viaOurs(const std::string& bytes) {
  terminalReset(ROWS, COLUMNS, 1000);
  terminalOptions.emulation = 4;
  emulatorConnectionStart();
  linkAttach(nullptr);
  receiveEightBit = true;
  surfaceClearCalls();
  processReceived(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
  Result r;
  for (int row = 0; row < ROWS; ++row) {
    const ScreenLine& line = lineAt(row);
    r.rows[row] = trimmed(std::string(reinterpret_cast<const char*>(line.cells), line.used));
  }
  r.row = screen.row;
  r.column = screen.column;
  return r;
}

std::string manyLines(int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += "line number " + std::to_string(i) + "\r\n";
  return out;
}

const struct {
  const char* name;
  std::string bytes;
} streams[] = {
    {"text_and_line_ends", "hello\r\nworld\r\n\tTab\bX\r\n"},
    {"scrolling", manyLines(60) + "tail"},
    {"cursor_addressing", E + "[5;10HA" + E + "[1;1HB" + E + "[24;78HC" + E + "[3A" + E + "[2D" + E + "[1CD"},
    {"erase_line_and_display", manyLines(20) + E + "[5;3H" + E + "[K" + E + "[10;1H" + E + "[J" + E + "[3;1Hx"},
    {"scroll_region", manyLines(24) + E + "[5;10r" + E + "[10;1H\n\n\nnew" + E + "[5;1H" + E + "Mrev" + E + "[r" +
                          E + "[20;1H"},
    {"insert_delete_lines", manyLines(15) + E + "[3;1H" + E + "[2L" + E + "[8;1H" + E + "[3M" + E + "[1;1H"},
    {"insert_delete_characters", "abcdefghij" + E + "[1;3H" + E + "[2P" + E + "[1;2H" + E + "[3@" + E + "[2;1Hxyz"},
    {"save_restore_cursor", E + "[7;7H" + E + "7" + E + "[1;1Hmoved" + E + "8here"},
    {"index_and_next_line", E + "[24;1Hbottom" + E + "D" + E + "Enext" + E + "[1;1H" + E + "Mtop"},
    {"wrapping", std::string(100, 'w') + "\r\n" + std::string(79, 'v')},
    {"region_line_feeds", manyLines(24) + E + "[5;20r" + E + "[20;1H\n" + E + "[5;10r" + E + "[10;1H\n" + E +
                              "[15;1H" + std::string(20, '\n')},
    {"region_homes_cursor", E + "[5;5H" + E + "[3;8rx"},
    {"region_index_reverse_index", manyLines(12) + E + "[3;6r" + E + "[6;1H" + E + "D" + E + "[3;1H" + E + "M"},
    {"region_insert_delete_lines", manyLines(12) + E + "[3;8r" + E + "[4;1H" + E + "[2L" + E + "[4;1H" + E + "[3M" +
                                       E + "[4;1H" + E + "[99L" + E + "[10;1H" + E + "[L"},
    {"region_next_line", manyLines(6) + E + "[2;4r" + E + "[4;3H" + E + "E"},
    {"lines_grow_after_row_copies", "a long line of text\r\nab" + E + "[1;1H" + E + "[M" + E + "[1;12HX" + E +
                                        "[1;3r" + "short\r\nmuch longer line\r\nxy" + E + "[1;1H" + E + "M" + E +
                                        "[2;10HQ"},
};

TEST(VtermInterop, SameScreenAsLibvterm) {
  for (const auto& s : streams) {
    Result theirs = viaVterm(s.bytes);
    Result ours = viaOurs(s.bytes);
    for (int row = 0; row < ROWS; ++row) EXPECT_EQ(ours.rows[row], theirs.rows[row]) << s.name << " row " << row + 1;
    EXPECT_EQ(ours.row, theirs.row) << s.name;
    EXPECT_EQ(ours.column, theirs.column) << s.name;
  }
}

}  // namespace
