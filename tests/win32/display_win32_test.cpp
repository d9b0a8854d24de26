// The terminal display on a real window under Wine: painting from the buffer,
// mouse selection, Copy and Transmit, Find, keys through the window's
// messages, and screenshots of what a user sees.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "screenshot.h"
#include "terminal/colours.h"
#include "terminal/display_damage.h"
#include "terminal/display_dialog_ids.h"
#include "terminal/display_win32.h"
#include "terminal/emulator.h"
#include "terminal/keymap.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/surface.h"
#include "terminal/terminal_state.h"
#include "win32_driver.h"

namespace {

LRESULT CALLBACK terminalProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  LRESULT r;
  if (displayMessage(w, m, wp, lp, &r)) return r;
  return DefWindowProcA(w, m, wp, lp);
}

// Bytes the terminal wrote to the link.
std::string sent;
int recordWrite(const uint8_t* bytes, int length) {
  sent.append(reinterpret_cast<const char*>(bytes), length);
  return 0;
}
int nothingToRead(uint8_t*, int) { return 0; }
const LinkOps recordOps = {nothingToRead, recordWrite, nullptr, nullptr, nullptr, nullptr, nullptr, true};

const COLORREF TEXT_GREEN = RGB(0, 160, 0);
const COLORREF BACK_NAVY = RGB(0, 0, 64);

// A fixed-pitch font large enough for pixel counts, drawn without smoothing.
LOGFONTA testFont() {
  LOGFONTA lf{};
  lf.lfHeight = 16;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  lstrcpyA(lf.lfFaceName, "Courier New");
  return lf;
}

// A fresh terminal of emulation e in a real window with the display attached.
HWND openTerminal(int emulation, int rows = 24, int capacity = 200) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = terminalProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SuiteDisplayTest";
    wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
    RegisterClassA(&wc);
    registered = true;
  }
  terminalReset(rows, 80, capacity);
  terminalOptions.emulation = emulation;
  emulatorConnectionStart();
  terminalColours.text = TEXT_GREEN;
  terminalColours.background = BACK_NAVY;
  sent.clear();
  linkAttach(&recordOps);
  receiveEightBit = true;
  HWND w = CreateWindowA("SuiteDisplayTest", "Terminal display", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN |
                         WS_VISIBLE, 10, 10, 820, 500, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  DisplayConfig config{};
  config.font = testFont();
  config.resizeMode = RESIZE_NONE;
  displayAttach(w, config);
  SetFocus(w);
  pumpUntil([] { return false; }, 200);
  return w;
}

// Repaints the whole window from the buffer alone and waits for it.
void repaint(HWND w) {
  InvalidateRect(w, nullptr, FALSE);
  UpdateWindow(w);
  GdiFlush();
  pumpUntil([] { return false; }, 100);
}

// How many pixels of a cell range of a view row must have exactly a colour.
enum Share { NONE, SOME, MOST, ALL };
struct Pixels {
  int row, from, to;
  COLORREF colour;
  Share share;
};

void expectPixels(HWND w, std::initializer_list<Pixels> expected) {
  HDC dc = GetDC(w);
  for (const Pixels& p : expected) {
    int n = 0, area = (p.to - p.from) * screen.cellWidth * screen.cellHeight;
    for (int x = cellX(p.from); x < cellX(p.to); ++x)
      for (int y = cellY(p.row); y < cellY(p.row + 1); ++y) n += GetPixel(dc, x, y) == p.colour;
    bool ok = p.share == NONE ? n == 0 : p.share == SOME ? n > 10 : p.share == MOST ? n > area / 2 : n == area;
    EXPECT_TRUE(ok) << "row " << p.row << " cells " << p.from << "-" << p.to << ": " << n << " of " << area
                    << " pixels in " << std::hex << p.colour;
  }
  ReleaseDC(w, dc);
}

void close(HWND w) {
  DestroyWindow(w);
  linkAttach(nullptr);
}

TEST(Win32Display, PaintShowsTextReverseBrightAndPalette) {
  HWND w = openTerminal(4);
  receive("plain text\r\n\033[7mreversed\033[0m\r\n\033[1mbright\033[0m\r\nctl-hidden\r\n");
  // The block is on the window when it ends, without waiting for a paint.
  GdiFlush();
  expectPixels(w, {{1, 0, 8, TEXT_GREEN, MOST}});
  lineAt(3).cells[3] = 0x01;  // a control byte stored in the line
  // Scribble over the window: whatever the paint leaves must come from the buffer.
  HDC dc = GetDC(w);
  RECT all = {0, 0, 820, 500};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ReleaseDC(w, dc);
  repaint(w);
  // Plain: mostly background with green strokes; reverse: mostly green; bright:
  // the text colour's lit channel at full. The row stops at its control
  // character; the rest is background.
  expectPixels(w, {{0, 0, 8, BACK_NAVY, MOST}, {0, 0, 8, TEXT_GREEN, SOME}, {1, 0, 8, TEXT_GREEN, MOST},
                   {1, 0, 8, BACK_NAVY, SOME}, {2, 0, 6, RGB(0, 255, 0), SOME}, {2, 0, 6, TEXT_GREEN, NONE},
                   {3, 3, 12, BACK_NAVY, ALL}, {5, 0, 80, BACK_NAVY, ALL}});
  // Cells drawn live (outside a received block, as an echo is), a run and
  // single cells, land on the window in their colours.
  surfaceDrawCells(cellX(0), cellY(6), screen.cellWidth, reinterpret_cast<const uint8_t*>("WWWW"), 4, TEXT_GREEN,
                   BACK_NAVY);
  for (int c = 4; c < 8; ++c) surfaceDrawCell(cellX(c), cellY(6), 'W', TEXT_GREEN, BACK_NAVY);
  GdiFlush();
  expectPixels(w, {{6, 0, 4, TEXT_GREEN, SOME}, {6, 0, 4, BACK_NAVY, MOST}, {6, 4, 8, TEXT_GREEN, SOME},
                   {6, 4, 8, BACK_NAVY, MOST}});
  receive("\033[2J\033[H\033[1mVT100 screen\033[0m  \033[7m reverse \033[0m  \033[4munderline\033[0m\r\n"
          "\033(0lqqqqqqqqqqk\033(B\r\n\033(0x\033(B  a box   \033(0x\033(B\r\n\033(0mqqqqqqqqqqj\033(B\r\n"
          "\033[10;20HCursor addressed to row 10, column 20\033[12;1H$ ");
  repaint(w);
  EXPECT_NE(saveScreenshot("display_vt100"), "");
  close(w);

  // The palette emulations index the 16 colours: every foreground on every
  // background, as ls --color and colour test scripts show them.
  w = openTerminal(2);
  std::string pattern = "\033[2J\033[HANSI colours\r\n";
  for (int bg = 40; bg <= 47; ++bg) {
    for (int fg = 30; fg <= 37; ++fg)
      pattern += "\033[" + std::to_string(fg) + ";" + std::to_string(bg) + "m " + std::to_string(fg) + " ";
    pattern += "\033[1m bold \033[0m\r\n";
  }
  receive(pattern);
  repaint(w);
  // Rows 2, 4 and 5 are on red, yellow and blue; 37 is white.
  expectPixels(w, {{2, 0, 4, RGB(127, 0, 0), MOST}, {4, 0, 32, RGB(127, 127, 0), MOST},
                   {5, 0, 32, RGB(0, 0, 127), MOST}, {5, 28, 32, RGB(191, 191, 191), SOME}});
  EXPECT_NE(saveScreenshot("display_colours"), "");
  close(w);

  // TTY draws the row whole, control character included, in the scheme's colours.
  w = openTerminal(1);
  receive("ctl-shown");
  lineAt(0).cells[3] = 0x01;
  repaint(w);
  expectPixels(w, {{0, 4, 9, TEXT_GREEN, SOME}});
  close(w);
}

std::string clipboardText(HWND w) {
  std::string text;
  if (!OpenClipboard(w)) return "<no clipboard>";
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

void setClipboard(HWND w, const std::string& text) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  char* p = static_cast<char*>(GlobalLock(h));
  memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(h);
  OpenClipboard(w);
  EmptyClipboard();
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
}

LPARAM at(int column, int row) { return MAKELPARAM(cellX(column), cellY(row) + screen.cellHeight / 2); }

TEST(Win32Display, DragSelectionIsInvertedAndCopiedAndTheClipboardTransmitted) {
  HWND w = openTerminal(4);
  receive("first line\r\nsecond line\r\nthird line");
  repaint(w);
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at(6, 0));
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, at(5, 1));
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, at(3, 2));
  SendMessageA(w, WM_LBUTTONUP, 0, at(3, 2));
  GdiFlush();
  // Inverted cells: the background turns into its complement.
  COLORREF inverted = RGB(255, 255, 255 - 64);
  expectPixels(w, {{1, 0, 11, inverted, MOST}, {0, 0, 6, inverted, NONE}});
  // The inversion survives a repaint from the buffer.
  repaint(w);
  expectPixels(w, {{2, 0, 3, inverted, MOST}});
  EXPECT_NE(saveScreenshot("display_selection"), "");
  setClipboard(w, "old contents");
  copySelection(w);
  EXPECT_EQ(clipboardText(w), "line\r\nsecond line\r\nthi");
  // A press elsewhere clears the selection and its inversion.
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at(0, 5));
  SendMessageA(w, WM_LBUTTONUP, 0, at(0, 5));
  GdiFlush();
  expectPixels(w, {{1, 0, 11, inverted, NONE}});
  displaySelectAll(w);
  copySelection(w);
  EXPECT_EQ(clipboardText(w).substr(0, 35), "first line\r\nsecond line\r\nthird line");
  // Transmit sends what the clipboard holds, here paced and without its LFs.
  DisplayConfig config{};
  config.font = testFont();
  config.transmit.stripLinefeed = true;
  config.transmit.characterDelay = 1;
  displayAttach(w, config);
  setClipboard(w, "first line\r\nsecond");
  sent.clear();
  transmitClipboard(w);
  EXPECT_EQ(sent, "first line\rsecond");
  close(w);
}

// The wheel moves the view over the scrollback three lines a notch (the
// system's setting), parts of a notch add up; a double click selects the
// word under the pointer, which Copy takes.
TEST(Win32Display, WheelScrollsTheScrollbackAndADoubleClickSelectsAWord) {
  HWND w = openTerminal(4, 24, 300);
  for (int i = 0; i < 100; ++i) receive("line " + std::to_string(i) + "\r\n");
  receive("path=/usr/local/bin, \"quoted-word\" end");
  repaint(w);
  int live = screen.viewPosition;
  ASSERT_EQ(live, screen.historyLines);
  SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(screen.viewPosition, live - 3);
  SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), 0);
  EXPECT_EQ(screen.viewPosition, live - 9);
  SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
  EXPECT_EQ(screen.viewPosition, live - 9) << "half a notch waits for the other half";
  SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
  EXPECT_EQ(screen.viewPosition, live - 6);
  SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-10 * WHEEL_DELTA)), 0);
  EXPECT_EQ(screen.viewPosition, live) << "the view stops at the live screen";
  int row = screen.row;
  const struct {
    int column;
    const char* word;
  } clicks[] = {{8, "path=/usr/local/bin"}, {0, "path=/usr/local/bin"}, {24, "quoted-word"}, {36, "end"}};
  for (const auto& c : clicks) {
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at(c.column, row));
    SendMessageA(w, WM_LBUTTONUP, 0, at(c.column, row));
    SendMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, at(c.column, row));
    SendMessageA(w, WM_LBUTTONUP, 0, at(c.column, row));
    setClipboard(w, "old contents");
    copySelection(w);
    EXPECT_EQ(clipboardText(w), c.word) << c.column;
  }
  // A blank selects nothing.
  SendMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, at(20, row));
  SendMessageA(w, WM_LBUTTONUP, 0, at(20, row));
  EXPECT_EQ(selectionText(), "");
  close(w);
}

// The vertical bar stands beside the text rows only (not beside a toolbar or
// status bars above and below them) and follows the scrollback; the
// horizontal bar shows only while the lines are wider than the window.
TEST(Win32Display, ScrollBarsBesideTheTextOnly) {
  HWND w = openTerminal(4, 24, 300);
  DisplayConfig config{};
  config.font = testFont();
  config.resizeMode = RESIZE_NONE;
  config.toolbarHeight = 40;
  config.statusHeight = 20;
  displayAttach(w, config);
  for (int i = 0; i < 60; ++i) receive("line " + std::to_string(i) + "\r\n");
  repaint(w);
  pumpUntil([] { return false; }, 300);  // the bar follows once the block is shown
  HWND bar = displayVerticalBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetParent(bar), w);
  EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_VSCROLL, 0);
  RECT client, r;
  GetClientRect(w, &client);
  GetWindowRect(bar, &r);
  MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.top, 40) << "below the toolbar";
  EXPECT_EQ(r.bottom, client.bottom - 20 - GetSystemMetrics(SM_CYHSCROLL)) << "above the bars below the text";
  EXPECT_EQ(r.right, client.right);
  EXPECT_GE(r.left, screen.textRight) << "beside the text, not over it";
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS};
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
  EXPECT_EQ(info.nMax, screen.historyLines);
  EXPECT_EQ(info.nPos, screen.viewPosition);
  SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  pumpUntil([] { return false; }, 100);
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
  EXPECT_EQ(info.nPos, screen.historyLines - 3);
  // 80 columns fit the window: no horizontal bar; 132 do not, and the corner
  // box fills the square where the two bars meet.
  HWND across = nullptr, corner = nullptr;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char kind[32] = "";
    GetClassNameA(c, kind, sizeof kind);
    if (lstrcmpiA(kind, "Static") == 0) corner = c;
    else if (c != bar && lstrcmpiA(kind, "ScrollBar") == 0) across = c;
  }
  ASSERT_NE(across, nullptr);
  ASSERT_NE(corner, nullptr);
  EXPECT_FALSE(IsWindowVisible(across));
  receive("\033[?3h");
  displaySized(w, client.right, client.bottom);
  EXPECT_TRUE(IsWindowVisible(across));
  EXPECT_TRUE(IsWindowVisible(corner));
  RECT h, k;
  GetWindowRect(across, &h);
  GetWindowRect(corner, &k);
  GetWindowRect(bar, &r);
  EXPECT_EQ(h.right, k.left) << "the horizontal bar ends at the corner box";
  EXPECT_EQ(k.left, r.left) << "under the vertical bar";
  EXPECT_EQ(k.top, r.bottom);
  EXPECT_EQ(k.top, h.top);
  repaint(w);
  EXPECT_NE(saveScreenshot("display_scroll_bars"), "");
  close(w);
}

TEST(Win32Display, FindScrollsToTheMatchAndCloseLeavesTheCursor) {
  HWND w = openTerminal(4, 24, 300);
  for (int i = 0; i < 120; ++i)
    receive("line " + std::to_string(i) + (i == 30 || i == 110 ? " Needle here" : "") + "\r\n");
  // An old mouse selection, which the match replaces.
  repaint(w);
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at(0, 2));
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, at(4, 2));
  SendMessageA(w, WM_LBUTTONUP, 0, at(4, 2));
  HWND f = openFind(w);
  ASSERT_NE(f, nullptr);
  SetDlgItemTextA(f, IDC_FIND_TEXT, "NEEDLE");
  SendMessageA(f, WM_COMMAND, IDC_FIND_FIRST, 0);
  repaint(w);
  EXPECT_LT(screen.viewPosition, screen.historyLines);
  bool shown = false;
  for (int r = 0; r < screen.rows; ++r)
    shown |= std::string(reinterpret_cast<const char*>(lineAt(r).cells), lineAt(r).used) == "line 30 Needle here";
  EXPECT_TRUE(shown);
  EXPECT_NE(saveScreenshot("display_find"), "");
  // The match shows selected (the caret is hidden while Find has the focus),
  // and Copy takes it, in the case the screen shows.
  int matchRow = -1;
  for (int r = 0; r < screen.rows; ++r)
    if (std::string(reinterpret_cast<const char*>(lineAt(r).cells), lineAt(r).used) == "line 30 Needle here") matchRow = r;
  ASSERT_GE(matchRow, 0);
  COLORREF inverted = RGB(255, 255, 255 - 64);
  GdiFlush();
  expectPixels(w, {{matchRow, 8, 14, inverted, MOST}, {matchRow, 0, 7, inverted, NONE}});
  setClipboard(w, "old contents");
  copySelection(w);
  EXPECT_EQ(clipboardText(w), "Needle");
  SendMessageA(f, WM_COMMAND, IDC_FIND_NEXT, 0);
  copySelection(w);
  EXPECT_EQ(clipboardText(w), "Needle") << "the second match alone";
  EXPECT_EQ(selectionText(), "Needle");
  // Text arrives while Find is open and moves the cursor; closing keeps it there.
  receive("\033[5;7H");
  SendMessageA(f, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(findDialog(), nullptr);
  EXPECT_EQ(screen.viewPosition, screen.historyLines);
  EXPECT_EQ(screen.row, 4);
  EXPECT_EQ(screen.column, 6);
  close(w);
}

TEST(Win32Display, KeyMessagesAutoRepeatOffFontFitAndMinimisedWindow) {
  HWND w = openTerminal(4);
  defaultKeyMap(4, &keyboard.map);
  SendMessageA(w, WM_KEYDOWN, VK_UP, 1);
  SendMessageA(w, WM_KEYUP, VK_UP, 0xC0000001);
  SendMessageA(w, WM_KEYDOWN, 'A', 1);
  SendMessageA(w, WM_CHAR, 'a', 1);
  EXPECT_EQ(sent, "\033[Aa");
  // Auto-repeat off: a held key sends its string once, on release.
  sent.clear();
  receive("\033[?8l");
  for (int i = 0; i < 3; ++i) SendMessageA(w, WM_KEYDOWN, VK_F1, 0x40000001);
  EXPECT_EQ(sent, "");
  SendMessageA(w, WM_KEYUP, VK_F1, 0xC0000001);
  EXPECT_EQ(sent, "\033OP");

  // Font fit, and a minimised window that still takes text.
  DisplayConfig config{};
  config.font = testFont();
  config.resizeMode = RESIZE_FONT;
  displayAttach(w, config);
  int before = screen.cellHeight;
  // Taller window: a larger font so that the rows still fill the text area.
  SetWindowPos(w, nullptr, 0, 0, 820, 760, SWP_NOMOVE | SWP_NOZORDER);
  pumpUntil([] { return false; }, 100);
  EXPECT_GT(screen.cellHeight, before);
  RECT client;
  GetClientRect(w, &client);
  EXPECT_LE(screen.rows * screen.cellHeight, client.bottom);
  ShowWindow(w, SW_MINIMIZE);
  pumpUntil([] { return false; }, 100);
  receive("after minimising\r\n");
  EXPECT_GT(screen.cellWidth, 0);
  EXPECT_GT(screen.cellHeight, 0);
  ShowWindow(w, SW_RESTORE);
  close(w);
}

// The link as a host still sending: a read takes up to a block of what is left.
std::string hostBytes;
size_t hostAt = 0;
int hostRead(uint8_t* buffer, int count) {
  size_t n = std::min(hostBytes.size() - hostAt, static_cast<size_t>(count));
  memcpy(buffer, hostBytes.data() + hostAt, n);
  hostAt += n;
  return static_cast<int>(n);
}
const LinkOps hostOps = {hostRead, recordWrite, nullptr, nullptr, nullptr, nullptr, nullptr, true};

// The text area's pixels, caret hidden.
std::vector<COLORREF> textArea(HWND w) {
  RECT client;
  GetClientRect(w, &client);
  HideCaret(w);
  HDC dc = GetDC(w);
  std::vector<COLORREF> area;
  for (int y = screen.textTop; y < cellY(screen.rows); y += 3)
    for (int x = 0; x < client.right; x += 2) area.push_back(GetPixel(dc, x, y));
  ReleaseDC(w, dc);
  ShowCaret(w);
  return area;
}

TEST(Win32Display, ReceivedColourScreensLeaveTheWindowAsARepaintWouldAndTheCaretAtTheCursor) {
  HWND w = openTerminal(2);
  // Many blocks of coloured runs at addressed rows and scrolling lines, read
  // through passes with the window's messages between them, as the program does.
  hostBytes.clear();
  hostAt = 0;
  for (int i = 0; i < 400; ++i) {
    hostBytes += "\033[" + std::to_string(1 + i * 7 % 24) + ";" + std::to_string(1 + i % 30) + "H";
    for (int run = 0; run < 6; ++run)
      hostBytes += "\033[" + std::to_string(30 + (i + run) % 8) + ";" + std::to_string(40 + (i * 3 + run) % 8) +
                   "mrun" + std::to_string(run) + " of " + std::to_string(i);
    hostBytes += i % 50 == 49 ? "\033[0m\033[24;1H\r\nscrolled\r\n" : "\033[0m\033[K";
  }
  linkAttach(&hostOps);
  while (hostAt < hostBytes.size()) {
    receiveAvailable();
    pumpUntil([] { return false; }, 1);
  }
  pumpUntil([] { return !damagePending(); }, 2000);
  // Then two rows of a shown screen change: only those are drawn again.
  hostBytes = "\033[1;5H\033[7mlast\033[0m\033[24;70H\033[33;41mbottom\033[32;44mnew\033[0m\033[17;33H";
  hostAt = 0;
  receiveAvailable();
  pumpUntil([] { return !damagePending(); }, 2000);
  GdiFlush();
  POINT caret{};
  GetCaretPos(&caret);
  EXPECT_EQ(caret.x, cellX(32));
  EXPECT_EQ(caret.y, cellY(16));
  std::vector<COLORREF> shown = textArea(w);
  repaint(w);
  EXPECT_TRUE(shown == textArea(w)) << "the window differs from a repaint of the buffer";
  close(w);
}

}  // namespace
