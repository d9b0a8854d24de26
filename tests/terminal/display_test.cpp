// The portable side of the display: selection to text, find, Clear Buffer,
// the colour rule, the fit arithmetic and Transmit, over a terminal fed
// through its link (a pseudo-terminal stands for a serial port).
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "terminal/colours.h"
#include "terminal/display.h"
#include "terminal/link_fd_posix.h"
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

void freshSelection() {
  clearSelection();
  display = DisplayState{};
}

// A drag from (c0, r0) to (c1, r1) of the view, as the mouse gives it.
void drag(int c0, int r0, int c1, int r1) {
  display.anchorColumn = display.lastColumn = c0;
  display.anchorRow = display.lastRow = r0;
  int first, last;
  extendSelection(c1, r1, &first, &last);
}

TEST(Selection, CopiedTextFollowsTheMarks) {
  reset(4);
  feed("first line\r\nsecond line\r\nthird line\r\n\r\nfifth");
  freshSelection();
  EXPECT_EQ(selectionText(), "");
  // Three partial rows: from "line" on row 0 to "thi" on row 2.
  drag(6, 0, 3, 2);
  EXPECT_EQ(selectionText(), "line\r\nsecond line\r\nthi");
  // Dragging back shrinks it again (the marks toggle).
  int first, last;
  extendSelection(8, 1, &first, &last);
  EXPECT_EQ(selectionText(), "line\r\nsecond l");
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 2);
  // Upwards from the empty row 3 to the middle of row 2: the empty line counts.
  freshSelection();
  drag(5, 3, 6, 2);
  EXPECT_EQ(selectionText(), "line\r\n");
  freshSelection();
  drag(0, 3, 4, 3);
  EXPECT_EQ(selectionText(), "");
  EXPECT_TRUE(display.selectionExists);
  // A drag to a point far outside the screen is clamped to its last cell.
  freshSelection();
  drag(0, 0, 9999, 9999);
  std::string rest;
  for (int i = 5; i < 24; ++i) rest += "\r\n";
  EXPECT_EQ(selectionText(), "first line\r\nsecond line\r\nthird line\r\n\r\nfifth" + rest);
}

TEST(Selection, SelectAllCoversScrollbackAndSurvivesScrolling) {
  reset(4, 5, 80, 30);
  for (int i = 0; i < 8; ++i) feed("L" + std::to_string(i) + "\r\n");
  freshSelection();
  drag(0, 0, 2, 0);  // "L4" on the top row of the live screen
  scrollView(-2);
  EXPECT_EQ(selectionText(), "L4");
  selectAll();
  std::string all = selectionText();
  EXPECT_EQ(all.substr(0, 8), "L0\r\nL1\r\n");
  // Every ring line contributes: 30 lines, 29 separators, no trailing CR LF.
  size_t separators = 0;
  for (size_t at = all.find("\r\n"); at != std::string::npos; at = all.find("\r\n", at + 2)) ++separators;
  EXPECT_EQ(separators, 29u);
}

TEST(Find, CaseInsensitiveWrapsWithBeepAcrossTheRing) {
  reset(4, 5, 80, 30);
  // 50 lines through a 30-line ring: the oldest line held is "row 20".
  for (int i = 0; i < 50; ++i) feed("row " + std::to_string(i) + (i % 10 == 3 ? " abc" : "") + "\r\n");
  freshSelection();
  auto lineAtIndex = [](int index) { return lineText(screen.text[lineAtOffset(index)]); };
  int first = findNext("ABC", 0);
  ASSERT_GE(first, 0);
  EXPECT_EQ(lineAtIndex(first), "row 23 abc");
  EXPECT_EQ(findNext("aBc", display.findStart), first + 10);
  EXPECT_EQ(findNext("abc", display.findStart), first + 20);
  surfaceClearCalls();
  EXPECT_EQ(findNext("abc", display.findStart), -1);
  EXPECT_FALSE(surfaceCallsText(SurfaceOp::Beep).empty());
  EXPECT_EQ(display.findStart, 0);
  EXPECT_EQ(findNext("abc", display.findStart), first);
  // An empty text or one longer than any line finds nothing and never overruns.
  EXPECT_EQ(findNext("", 0), -1);
  EXPECT_EQ(findNext(std::string(600, 'r').c_str(), 0), -1);

  // The view slides to show the match; its row and column are where it is drawn.
  int row = showFoundLine(first);
  EXPECT_EQ(harness::row(row), "row 23 abc");
  EXPECT_EQ(foundColumn("ABC", first), 7);
  EXPECT_LT(screen.viewPosition, screen.historyLines);
}

TEST(ClearBuffer, BlanksEveryLineAndRestartsTheRing) {
  reset(4, 5, 80, 30);
  for (int i = 0; i < 50; ++i) feed("text " + std::to_string(i) + "\r\n");
  selectAll();
  clearBuffer();
  EXPECT_EQ(screen.historyLines, 0);
  EXPECT_EQ(screen.oldest, 0);
  EXPECT_FALSE(screen.wrapped);
  EXPECT_EQ(findNext("text", 0), -1);
  EXPECT_FALSE(display.selectionExists);
  EXPECT_EQ(cursor(), "1,1");
  feed("after");
  EXPECT_EQ(screenText(), "after");
}

TEST(CellColours, TwoColourRuleAndPalette) {
  coloursReset();
  terminalColours.text = rgb(0, 160, 0);
  terminalColours.background = rgb(0, 0, 64);
  struct Case {
    uint8_t attribute;
    int emulation;
    uint32_t text, back;
  } cases[] = {
      {0x70, 4, rgb(0, 160, 0), rgb(0, 0, 64)},    // plain
      {0xF0, 4, rgb(0, 255, 0), rgb(0, 0, 64)},    // bright: lit channels at full
      {0x07, 4, rgb(0, 0, 64), rgb(0, 160, 0)},    // reverse
      {0x8F, 4, rgb(0, 0, 64), rgb(0, 255, 0)},    // reverse and bright
      {0x1C, 2, rgb(127, 0, 0), rgb(0, 0, 255)},   // palette emulations index the palette
      {0xF4, 9, rgb(255, 255, 255), rgb(0, 0, 127)},
  };
  for (const Case& c : cases) {
    uint32_t text, back;
    cellColours(c.attribute, c.emulation, &text, &back);
    EXPECT_EQ(text, c.text) << std::hex << int(c.attribute);
    EXPECT_EQ(back, c.back) << std::hex << int(c.attribute);
  }
  // Erased areas: the scheme's background, or the default cell's in the palette emulations.
  EXPECT_EQ(eraseColour(4), rgb(0, 0, 64));
  EXPECT_EQ(eraseColour(9), rgb(0, 0, 0));
  terminalColours.text = rgb(0, 0, 0);  // black brightens to grey
  uint32_t text, back;
  cellColours(0x80, 4, &text, &back);
  EXPECT_EQ(text, rgb(127, 127, 127));
  coloursReset();
}

TEST(Fit, FontTermAndMinimisedWindow) {
  reset(4, 24, 80, 100);
  int w, h;
  fitFontSize(16 + 80 * 9, 24 * 17, 24, 80, &w, &h);
  EXPECT_EQ(w, 9);
  EXPECT_EQ(h, 17);
  // Minimised: nothing left of the client area, still a usable cell.
  fitFontSize(0, 0, 24, 80, &w, &h);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(cellWidthFrom(0), 1);
  EXPECT_EQ(cellHeightFrom(0, 0), 1);
  screen.cellWidth = 8;
  screen.cellHeight = 16;
  // The text area: whole cells, never past the columns left of the offset.
  EXPECT_EQ(visibleTextWidth(16 + 50 * 8 + 7), 50 * 8);
  EXPECT_EQ(horizontalRange(16 + 50 * 8 + 7), 30);
  screen.horizontalOffset = 30;
  EXPECT_EQ(visibleTextWidth(16 + 80 * 8), 50 * 8);
  EXPECT_EQ(visibleTextWidth(3), 0);
  EXPECT_EQ(horizontalRange(3), 80);
}

TEST(Transmit, LinesDelaysAndStrippedLinefeeds) {
  reset(4);
  static std::vector<int> waits;
  waits.clear();
  TransmitOptions o;
  o.characterDelay = 5;
  o.lineDelay = 40;
  o.stripLinefeed = true;
  std::string text = "ab\r\ncd";
  EXPECT_EQ(transmitText(reinterpret_cast<const uint8_t*>(text.data()), text.size(), o,
                         [](int ms) { waits.push_back(ms); }),
            5);
  EXPECT_EQ(wire.replies, "ab\rcd");
  EXPECT_EQ(waits, std::vector<int>(6, 5));  // a character delay before each, the LF's too
  o.stripLinefeed = false;
  wire.replies.clear();
  waits.clear();
  transmitText(reinterpret_cast<const uint8_t*>(text.data()), text.size(), o, [](int ms) { waits.push_back(ms); });
  EXPECT_EQ(wire.replies, "ab\r\ncd");
  EXPECT_EQ(waits, (std::vector<int>{5, 5, 5, 5, 40, 5, 5}));
  // Binary bytes go as they are up to a NUL; a lost link stops the send.
  wire.replies.clear();
  std::string binary("\x01\xff\x80" "z\0tail", 9);
  EXPECT_EQ(transmitText(reinterpret_cast<const uint8_t*>(binary.data()), binary.size(), TransmitOptions{},
                         [](int) {}),
            4);
  EXPECT_EQ(wire.replies, "\x01\xff\x80" "z");
  linkAttach(nullptr);
  EXPECT_LT(transmitText(reinterpret_cast<const uint8_t*>("xy"), 2, TransmitOptions{}, [](int) {}), 0);
}

// On a serial line XON/XOFF is on while the text goes out, and back to the
// line's own setting afterwards.
int port = -1;
bool flowOn() {
  termios t{};
  tcgetattr(port, &t);
  return (t.c_iflag & IXON) && (t.c_iflag & IXOFF);
}

TEST(TransmitFlow, SerialLineGetsXonXoffForTheDuration) {
  for (int flow : {0, 2}) {
    reset(4);
    int master = -1;
    ASSERT_EQ(openpty(&master, &port, nullptr, nullptr, nullptr), 0);
    termios t{};
    tcgetattr(port, &t);
    cfmakeraw(&t);
    if (flow >= 2) t.c_iflag |= IXON | IXOFF;
    tcsetattr(port, TCSANOW, &t);
    ASSERT_EQ(linkAttachFd(port, false), 0);
    TransmitOptions o;
    o.characterDelay = 1;
    o.flowControl = flow;
    static int waitsWithFlow;
    waitsWithFlow = 0;
    EXPECT_EQ(transmitText(reinterpret_cast<const uint8_t*>("ok\r"), 3, o, [](int) { waitsWithFlow += flowOn(); }), 3);
    EXPECT_EQ(waitsWithFlow, 3) << "flow control " << flow;
    EXPECT_EQ(flowOn(), flow >= 2) << "flow control " << flow;
    // The pseudo-terminal may hand the bytes over in pieces.
    std::string got;
    char piece[8];
    pollfd in{master, POLLIN, 0};
    while (got.size() < 3 && poll(&in, 1, 2000) > 0) {
      ssize_t n = read(master, piece, sizeof piece);
      if (n <= 0) break;
      got.append(piece, static_cast<size_t>(n));
    }
    EXPECT_EQ(got, "ok\r");
    linkClose();
    close(master);
  }
}

}  // namespace
