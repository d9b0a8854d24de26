// The session's terminal from its record, and the "Term" fit of the terminal
// to a window.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/frame_terminal.h"
#include "shell/book_entry.h"
#include "shell/message_box.h"
#include "shell/message_box_posix.h"
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

// Maps a stack deep enough for what follows before the address space is capped.
__attribute__((noinline)) void touchStack() {
  volatile char deep[512 * 1024];
  for (size_t i = 0; i < sizeof deep; i += 4096) deep[i] = 1;
}

// The screen's memory runs out, in a child process whose address space is
// capped just above what it uses: without room for the scroll-back the
// terminal says so and keeps the screen's lines; without room even for those
// it says so and the program does not start.
TEST(FrameTerminal, ScreenMemoryShortageIsSaid) {
  struct Case {
    long room;  // bytes of address space left; 0: the heap filled too
    int result;
    const char* text;
  } cases[] = {
      {1 << 20, 1, "Not enough memory for scrolling"},
      {0, -1, "Not enough memory to run this application"},
  };
  for (const Case& c : cases) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    if (pid == 0) {
      touchStack();
      for (int i = 0; i < 4; ++i) messageBox(0, "", 0);  // the record's room, taken while there is memory
      messagesClear();
      screen = ScreenBuffer{};
      void* reserve = malloc(4096);  // for the message's text, given back once the heap is full
      long pages = 0;
      FILE* statm = fopen("/proc/self/statm", "r");
      if (!statm || fscanf(statm, "%ld", &pages) != 1) _exit(3);
      fclose(statm);
      rlimit saved{}, tight{};
      getrlimit(RLIMIT_AS, &saved);
      tight = saved;
      tight.rlim_cur = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + c.room);
      setrlimit(RLIMIT_AS, &tight);
      void* full = nullptr;  // a chain of small blocks through their first word
      while (c.room == 0)
        if (void** block = static_cast<void**>(malloc(64))) *block = full, full = block;
        else break;
      free(reserve);
      int r = frameTerminalReset(3000);
      setrlimit(RLIMIT_AS, &saved);
      while (full) {
        void* next = *static_cast<void**>(full);
        free(full);
        full = next;
      }
      std::string said = std::to_string(r) + " " + std::to_string(screen.capacity);
      for (const ShownMessage& m : messagesShown()) said += "|" + m.text;
      if (write(out[1], said.data(), said.size()) < 0) _exit(2);
      _exit(0);
    }
    close(out[1]);
    char said[256] = "";
    ssize_t n = read(out[0], said, sizeof said - 1);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    said[n > 0 ? n : 0] = 0;
    EXPECT_EQ(std::string(said), std::to_string(c.result) + (c.result > 0 ? " 24|" : " 0|") + c.text);
  }
}

}  // namespace
