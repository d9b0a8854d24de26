// The plain text view of the FTP session: bytes in, lines out, for every
// control-byte rule, the swallowed Telnet commands, the capture and the
// script's line match; any cut of a stream gives the same view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terminal/hooks.h"
#include "terminal/plain_view.h"
#include "terminal/screen.h"
#include "terminal/surface_posix.h"
#include "terminal/terminal_state.h"
#include "tests/support/screen_text.h"

namespace {
std::string captured, matchedLine;

void freshView() {
  terminalReset(24, PLAIN_VIEW_COLUMNS, 200);
  plainViewReset();
  surfaceClearCalls();
}

void write(const std::string& bytes) {
  plainViewWrite(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
}

// The view's rows up to the last one written, trailing empty rows left out.
std::string shown() {
  std::string all = screenText();
  while (all.size() >= 2 && all[all.size() - 1] == '\n' && all[all.size() - 2] == '\n') all.pop_back();
  return all;
}
}  // namespace

TEST(PlainView, ControlBytesActAndTheRestIsDrawn) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string rows;
    int column;
  } cases[] = {
      {"CR returns to column 0", "abc\rX", "Xbc\n", 1},
      {"LF moves down, keeping the column", "ab\ncd", "ab\n  cd\n", 4},
      {"BS and DEL step back and blank", "abc\b\x7f", "a  \n", 1},
      {"BS at column 0 stays", "\bz", "z\n", 1},
      {"TAB to the next multiple of 8", "a\tX", "a       X\n", 9},
      {"TAB stops at the last column", std::string(130, 'x') + "\tY", std::string(130, 'x') + " Y\n", 132},
      {"SO, SI and other controls are dropped", "a\x0e\x0f\x01\x1b" "b", "ab\n", 2},
      {"high bytes are drawn", "\x80\xfe", "\x80\xfe\n", 2},
      {"an option command is swallowed", "a\xff\xfb\x01" "b", "ab\n", 2},
      {"a two-byte command is swallowed", "a\xff\xf1" "b", "ab\n", 2},
      {"IAC IAC is one 0xFF", "a\xff\xff" "b", "a\xff" "b\n", 3},
      {"a line longer than the view goes on below", std::string(133, 'x'), std::string(132, 'x') + "\nx\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    freshView();
    write(c.bytes);
    EXPECT_EQ(shown(), c.rows);
    EXPECT_EQ(screen.column, c.column);
  }
}

TEST(PlainView, BellBeepsAndLinesScrollIntoTheScrollback) {
  freshView();
  write("\a");
  EXPECT_FALSE(surfaceCallsText(SurfaceOp::Beep).empty());
  for (int i = 0; i < 30; ++i) write("line " + std::to_string(i) + "\r\n");
  EXPECT_EQ(screen.historyLines, 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(lineAt(0).cells), lineAt(0).used), "line 7");
}

TEST(PlainView, EveryCutOfAStreamGivesTheSameView) {
  const std::string stream = "220 hi\r\n\xff\xfd\x18" "ftp>d\bdir\r\n\tx\xff\xff\xff\xf1y\r\n";
  freshView();
  write(stream);
  const std::string whole = shown();
  for (size_t cut = 1; cut < stream.size(); ++cut) {
    SCOPED_TRACE(cut);
    freshView();
    write(stream.substr(0, cut));
    write(stream.substr(cut));
    EXPECT_EQ(shown(), whole);
  }
}

TEST(PlainView, CaptureTakesEveryByteAndAWaitingScriptSeesTheLine) {
  freshView();
  captured.clear();
  matchedLine.clear();
  terminalHooks.captureOn = terminalHooks.scriptRunning = [] { return true; };
  terminalHooks.captureByte = [](uint8_t b) { captured += static_cast<char>(b); };
  terminalHooks.scriptLineMatch = [](const uint8_t* cells, int n) {
    matchedLine.assign(reinterpret_cast<const char*>(cells), n);
  };
  const std::string bytes = "331 Password\r\n230 \xff\xfb\x01ok";
  write(bytes);
  EXPECT_EQ(captured, bytes);
  EXPECT_EQ(matchedLine, "230 ok");
  hooksReset();
}
