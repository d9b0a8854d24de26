// The session's terminal from its record, and the "Term" fit of the terminal
// to a window.
#include <gtest/gtest.h>

#include "frame/frame_terminal.h"
#include "shell/book_entry.h"
#include "shell/session_profile.h"
#include "terminal/colours.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

namespace {
// The entry reaches the session when it starts: terminal settings (colours,
// columns and rows unless the terminal follows the window, options).
struct Case {
  int colourText, colourBack, width, height, resize, emulation;
  uint32_t text, back;  // palette positions expected, -1 for the default
  int columns, rows;
};

TEST(FrameTerminal, RecordSettingsAppliedAtSessionStart) {
  coloursReset();
  const TerminalColours defaults = terminalColours;
  const Case cases[] = {
      // zeroed colours keep the default scheme; width 1 is 132 columns
      {0, 0, 1, 30, 0, 4, 99, 99, 132, 30},
      {3, 5, 0, 0, 2, 6, 2, 4, 80, 24},    // palette positions plus one; no rows means 24
      {16, 1, 0, 40, 0, 2, 15, 0, 80, 40},
      {17, 200, 0, 24, 0, 4, 99, 99, 80, 24},  // out of range: the default stays
      {2, 2, 1, 50, 1, 4, 1, 1, 77, 33},       // Term: the window decides the size
  };
  for (const Case& c : cases) {
    terminalReset(33, 77, 200);
    terminalColours.text = terminalColours.background = 0x123456;  // left from the last session
    BookEntry e = bookDefaultEntry();
    recordSetInt(e.bytes, bookField::colour1, c.colourText);
    recordSetInt(e.bytes, bookField::colour2, c.colourBack);
    recordSetInt(e.bytes, bookField::terminalWidth, c.width);
    recordSetInt(e.bytes, bookField::terminalHeight, c.height);
    recordSetInt(e.bytes, bookField::resizeMode, c.resize);
    recordSetInt(e.bytes, bookField::emulation, c.emulation);
    recordSetInt(e.bytes, bookField::localEcho, c.resize);
    frameApplyTerminal(profileFromBook(e));
    SCOPED_TRACE(c.colourText * 1000 + c.colourBack);
    EXPECT_EQ(terminalColours.text, c.text == 99 ? defaults.text : defaults.palette[c.text]);
    EXPECT_EQ(terminalColours.background, c.back == 99 ? defaults.background : defaults.palette[c.back]);
    EXPECT_EQ(screen.columns, c.columns);
    EXPECT_EQ(screen.rows, c.rows);
    EXPECT_EQ(terminalOptions.emulation, c.emulation);
    EXPECT_EQ(terminalOptions.localEcho, c.resize != 0);
  }
}

TEST(FrameTerminal, TermFitLimitsAndTheHeightThatShows24Rows) {
  struct Fit {
    int width, height, toolbar, cellWidth, cellHeight;
    int rows, columns, grow;
  };
  const Fit fits[] = {
      // 16 px rows under a 28 px toolbar: (500 - 28 - 32) / 16 - 1 = 26 rows
      {8 * 100 + 16 + 8, 500, 28, 8, 16, 26, 100, 0},
      {300, 200, 28, 8, 16, 24, 80, 25 * 16 + 28 + 32},  // too small: 24 x 80, grown to hold 24 rows
      {4000, 8000, 0, 8, 16, 255, 255, 0},                // the Term limits: 255 rows, 255 columns
      {8 * 81 + 16, 25 * 16 + 32 + 16, 16, 8, 16, 24, 80, 0},  // exactly 24 rows: no growth
      {100, 40, 0, 0, 0, 24, 83, 25 + 32},  // no font yet: cells of one pixel
  };
  for (const Fit& f : fits) {
    int rows = 0, columns = 0;
    int grow = frameTermFit(f.width, f.height, f.toolbar, f.cellWidth, f.cellHeight, &rows, &columns);
    SCOPED_TRACE(f.width * 10000 + f.height);
    EXPECT_EQ(rows, f.rows);
    EXPECT_EQ(columns, f.columns);
    EXPECT_EQ(grow, f.grow);
  }
}

}  // namespace
