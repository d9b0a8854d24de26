// The portable side of the display: selection to text, find, Clear Buffer,
// the colour rule, the fit arithmetic, Transmit, deferred painting and the
// pages a print job makes, over a terminal fed through its link (a
// pseudo-terminal stands for a serial port).
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <random>

#include "terminal/colours.h"
#include "terminal/display.h"
#include "terminal/display_damage.h"
#include "terminal/link_fd_posix.h"
#include "terminal/print_pages.h"
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
      {0x8F, 4, rgb(0, 0, 64), rgb(0, 255, 0)},    // reverse and bright: lit channels at full
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

std::vector<int> waits;

// Sends text with the options, the waits kept in waits; the result as transmitText's.
int transmit(const std::string& text, const TransmitOptions& o = TransmitOptions{}) {
  wire.replies.clear();
  waits.clear();
  return transmitText(reinterpret_cast<const uint8_t*>(text.data()), text.size(), o,
                      [](int ms) { waits.push_back(ms); });
}

TEST(Transmit, LinesDelaysAndStrippedLinefeeds) {
  reset(4);
  TransmitOptions o;
  o.characterDelay = 5;
  o.lineDelay = 40;
  o.stripLinefeed = true;
  EXPECT_EQ(transmit("ab\r\ncd", o), 5);
  EXPECT_EQ(wire.replies, "ab\rcd");
  EXPECT_EQ(waits, std::vector<int>(6, 5));  // a character delay before each, the LF's too
  o.stripLinefeed = false;
  transmit("ab\r\ncd", o);
  EXPECT_EQ(wire.replies, "ab\r\ncd");
  EXPECT_EQ(waits, (std::vector<int>{5, 5, 5, 5, 40, 5, 5}));
  // Binary bytes go as they are up to a NUL; a lost link stops the send.
  EXPECT_EQ(transmit(std::string("\x01\xff\x80" "z\0tail", 9)), 4);
  EXPECT_EQ(wire.replies, "\x01\xff\x80" "z");
  linkAttach(nullptr);
  EXPECT_LT(transmit("xy"), 0);
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

// Deferred painting: a receive pass repaints only the rows it changed, and the
// window it leaves is the same as a full repaint from the buffer.
// One view row as the paint handler draws it: its cells and attributes.
std::string painted(int r) { return row(r) + "/" + attrs(r); }

std::vector<std::string> fullRepaint() {
  std::vector<std::string> rows;
  for (int r = 0; r < screen.rows; ++r) rows.push_back(painted(r));
  return rows;
}

// The window of a deferring terminal: rows as last painted, moved by the
// recorded scrolls and replaced by the recorded repaints.
struct Window {
  std::vector<std::string> rows = fullRepaint();
  void follow() {
    const ScreenBuffer& s = screen;
    auto rowOf = [&](int y) { return std::clamp((y - s.textTop) / s.cellHeight, 0, s.rows); };
    for (const SurfaceCall& c : surfaceCalls()) {
      if (c.op == SurfaceOp::Scroll) {
        int first = rowOf(c.b), last = rowOf(c.d) - 1, k = c.f / s.cellHeight;
        std::vector<std::string> before = rows;
        for (int r = first; r <= last; ++r) rows[r] = r - k >= first && r - k <= last ? before[r - k] : "?";
      } else if (c.op == SurfaceOp::Repaint) {
        for (int r = rowOf(c.a); r < rowOf(c.b); ++r) rows[r] = painted(r);
      } else if (c.op == SurfaceOp::Invalidate) {
        rows = fullRepaint();
      } else if (c.op == SurfaceOp::DrawCell || c.op == SurfaceOp::Fill) {
        rows.assign(rows.size(), "drawn while deferring");
      }
    }
    surfaceClearCalls();
  }
};

struct Deferring {
  Deferring() { damageDefer(true); }
  ~Deferring() { damageDefer(false); }
};

TEST(DeferredPaint, RepaintsOnlyTheRowsAPassChanged) {
  reset(2);
  Deferring on;
  feed("first\r\nsecond");
  surfaceClearCalls();
  feed("\x1b[5;10Hx");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::Repaint), "repaint " + std::to_string(cellY(4)) + " " +
                                                        std::to_string(cellY(5)) + "\n");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::DrawCell) + surfaceCallsText(SurfaceOp::Scroll), "");
  // Two line feeds at the bottom: the window's rows move up by two, and the
  // two new rows and the one written are repainted.
  surfaceClearCalls();
  feed("\x1b[24;1Hx\n\ny");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::Scroll), "scroll 0 " + std::to_string(cellY(0)) + " 0 " +
                                                      std::to_string(cellY(23)) + " 0 " +
                                                      std::to_string(-2 * screen.cellHeight) + "\n");
  EXPECT_EQ(surfaceCallsText(SurfaceOp::Repaint), "repaint " + std::to_string(cellY(21)) + " " +
                                                        std::to_string(cellY(24)) + "\n");
}

TEST(DeferredPaint, RandomStreamsLeaveTheFullRepaint) {
  const char* pieces[] = {"text ", "\r\n", "\n", "\x1bM", "\x1b[K", "\x1b[1J", "\x1b[2J", "\b", "\t", "\x1b[7m",
                          "\x1b[0m", "\x1b[31;44m", "\x1b[r", "\x1b" "7", "\x1b" "8"};
  std::mt19937 random(7);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int run = 0; run < 40; ++run) {
    reset(run % 2 ? 2 : 4);
    Deferring on;
    Window window;
    for (int pass = 0; pass < 30; ++pass) {
      std::string s;
      for (int n = pick(40); n > 0; --n) {
        switch (pick(6)) {
          case 0: s += "\x1b[" + std::to_string(1 + pick(24)) + ";" + std::to_string(1 + pick(80)) + "H"; break;
          case 1: s += "\x1b[" + std::to_string(1 + pick(12)) + ";" + std::to_string(12 + pick(13)) + "r"; break;
          case 2: s += "\x1b[" + std::to_string(pick(4)) + "LMP@"[pick(4)]; break;
          default: s += pieces[pick(sizeof pieces / sizeof *pieces)];
        }
      }
      wire.maxRead = 1 + pick(300);
      // Through the receive pass (several blocks held together) or as one
      // block on its own, as local echo arrives.
      if (pick(3)) feed(s);
      else processReceived(reinterpret_cast<const uint8_t*>(s.data()), static_cast<int>(s.size()));
      window.follow();
      ASSERT_EQ(window.rows, fullRepaint()) << "run " << run << " pass " << pass << " " << ::testing::PrintToString(s) << " cursor " << cursor();
    }
  }
}

// The lines and pages a print job puts on paper, from text files and from the
// scrollback and selection filled by received bytes.
using Pages = std::vector<std::vector<std::string>>;

TEST(PrintPages, TextFilesSplitIntoLinesAndPages) {
  struct Case { std::string file; int perPage; Pages pages; } cases[] = {
      {"a\r\nb\n", 60, {{"a", "b"}}},
      {"a\r\nb\r\n\f\r\nc\n", 60, {{"a", "b"}, {"", "c"}}},  // CR LF after the form feed is a line
      {"a\fb", 60, {{"a"}, {"b"}}},
      {"1\n2\n3\n4\n5", 2, {{"1", "2"}, {"3", "4"}, {"5"}}},
      {"x\ry\n", 60, {{"x\ry"}}},                                // a lone CR stays
      {std::string(600, 'z'), 60, {{std::string(256, 'z'), std::string(256, 'z'), std::string(88, 'z')}}},
      {std::string(256, 'z') + "\n", 60, {{std::string(256, 'z'), ""}}},
      {"", 60, {{}}},
  };
  for (const Case& c : cases) EXPECT_EQ(paginate(textFileLines(c.file), c.perPage), c.pages) << c.file;
}

TEST(PrintPages, BinaryFileKeepsEveryByte) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i % 251 + 1 == '\n' ? 0 : i % 251 + 1);
  size_t kept = 0;
  for (const PrintLine& l : textFileLines(bytes)) kept += l.text.size() + (l.formFeed ? 1 : 0);
  size_t ff = 0;
  for (char c : bytes) ff += c == '\f';
  EXPECT_EQ(kept, bytes.size() - std::count(bytes.begin(), bytes.end(), '\n'));
  EXPECT_GT(ff, 0u);
}

TEST(PrintPages, BufferAndSelectionFromReceivedText) {
  harness::reset(4, 3, 80, 100);
  harness::feed("one\r\ntwo\r\nthree\r\nfour\r\nfive");
  std::vector<std::string> texts;
  for (const PrintLine& l : bufferLines()) texts.push_back(l.text);
  // Everything up to the cursor's line, which is the newest.
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(texts.end() - 4, texts.end()),
            (std::vector<std::string>{"one", "two", "three", "four"}));

  EXPECT_TRUE(selectionLines().empty());
  int three = lineOfRow(0), two = three - 1;  // "two" scrolled off just above
  if (two < 0) two += screen.capacity;
  screen.marks[static_cast<size_t>(two) * LINE_CELLS + 1] = 1;
  screen.marks[static_cast<size_t>(two) * LINE_CELLS + 2] = 1;
  screen.marks[static_cast<size_t>(three) * LINE_CELLS + 0] = 1;
  screen.marks[static_cast<size_t>(three) * LINE_CELLS + 200] = 1;  // past the used length
  std::vector<std::string> marked;
  for (const PrintLine& l : selectionLines()) marked.push_back(l.text);
  EXPECT_EQ(marked, (std::vector<std::string>{"wo", "t"}));
}

}  // namespace
