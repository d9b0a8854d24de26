// The terminal window: font and cell size, painting from the buffer by paint
// hint, the caret, both scroll bars and the three resize modes.
#include <windows.h>

#include <algorithm>

#include "terminal/colours.h"
#include "terminal/display_damage.h"
#include "terminal/display_win32.h"
#include "terminal/emulator.h"
#include "terminal/keymap.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/surface.h"
#include "terminal/surface_win32.h"
#include "terminal/terminal_type.h"
#include "terminal/display_internal_win32.h"

static HWND terminalWindow = nullptr;
static HWND horizontalBar = nullptr;  // a child control, so it sits under the text above the status bars
// Likewise beside the text only, in the text area's right margin, not beside
// the toolbar and the status bars as the window's own bar stood.
static HWND verticalBar = nullptr;
static HWND cornerBox = nullptr;  // where the two bars meet, in the face colour

HWND displayVerticalBar() { return verticalBar; }
static HFONT terminalFont = nullptr;
static bool hasFocus = false;
DisplayConfig displayConfig;

HWND displayWindow() { return terminalWindow; }

static int clientWidth(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  return r.right;
}

int displayBelowText() { return displayConfig.statusHeight + GetSystemMetrics(SM_CYHSCROLL); }

// Height of the text area: the client area less the toolbar, the horizontal
// scroll bar and the status bars.
static int textHeight(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  return std::max(0, static_cast<int>(r.bottom) - displayConfig.toolbarHeight - displayBelowText());
}

static void updateScrollBars(HWND w) {
  RECT client;
  GetClientRect(w, &client);
  int barHeight = GetSystemMetrics(SM_CYHSCROLL);
  int barWidth = std::min(GetSystemMetrics(SM_CXVSCROLL), TEXT_MARGIN);
  int y = std::max(displayConfig.toolbarHeight, static_cast<int>(client.bottom) - displayBelowText());
  int x = std::max(0, static_cast<int>(client.right) - barWidth);
  if (!horizontalBar || GetParent(horizontalBar) != w) {
    // WS_CLIPSIBLINGS: a window laid over the text area (the FTP window) stays whole.
    horizontalBar = CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_CLIPSIBLINGS | SBS_HORZ, 0, y, x, barHeight, w, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    cornerBox = CreateWindowA("STATIC", "", WS_CHILD | WS_CLIPSIBLINGS, x, y, barWidth, barHeight, w, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
  } else {
    MoveWindow(horizontalBar, 0, y, x, barHeight, TRUE);
    MoveWindow(cornerBox, x, y, barWidth, barHeight, TRUE);
  }
  int range = horizontalRange(clientWidth(w));
  screen.horizontalOffset = std::clamp(screen.horizontalOffset, 0, range);
  SetScrollRange(horizontalBar, SB_CTL, 0, range, FALSE);
  SetScrollPos(horizontalBar, SB_CTL, screen.horizontalOffset, TRUE);
  // Only lines wider than the window need it; its strip stays, so the rows keep their place.
  ShowWindow(horizontalBar, range > 0 ? SW_SHOWNA : SW_HIDE);
  ShowWindow(cornerBox, range > 0 ? SW_SHOWNA : SW_HIDE);
  int height = std::max(0, y - displayConfig.toolbarHeight);
  if (!verticalBar || GetParent(verticalBar) != w) {
    verticalBar = CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE | SBS_VERT, x, displayConfig.toolbarHeight,
                                barWidth, height, w, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetScrollRange(verticalBar, SB_CTL, 0, screen.historyLines, FALSE);
    SetScrollPos(verticalBar, SB_CTL, screen.viewPosition, TRUE);
  } else {
    MoveWindow(verticalBar, x, displayConfig.toolbarHeight, barWidth, height, TRUE);
  }
  screen.textRight = visibleTextWidth(clientWidth(w));
}

void displayCaretToCursor() {
  if (!terminalWindow || !hasFocus) return;
  if (cursorInView()) SetCaretPos(cellX(screen.column), cellY(screen.row));
  else SetCaretPos(-screen.cellWidth - 1, cellY(screen.row));
}

static void makeCaret(HWND w) {
  DestroyCaret();
  CreateCaret(w, nullptr, screen.cellWidth, screen.cellHeight);
  displayCaretToCursor();
  ShowCaret(w);
  surfaceCaretMade();
}

void applyFont(HWND w) {
  LOGFONTA lf = displayConfig.font;
  if (displayConfig.resizeMode == RESIZE_FONT) {
    int width = 0, height = 0;
    fitFontSize(clientWidth(w), textHeight(w), screen.rows, screen.columns, &width, &height);
    lf.lfHeight = height;
    lf.lfWidth = width;
  }
  HFONT font = CreateFontIndirectA(&lf);
  if (!font) font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
  HDC dc = GetDC(w);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  if (terminalFont && terminalFont != font) DeleteObject(terminalFont);
  terminalFont = font;
  // The cursor is kept in cells, so it keeps its cell across the change.
  screen.cellWidth = cellWidthFrom(tm.tmAveCharWidth);
  screen.cellHeight = cellHeightFrom(tm.tmHeight, tm.tmExternalLeading);
  screen.textTop = displayConfig.toolbarHeight;
  surfaceAttach(w, terminalFont, screen.cellWidth, screen.cellHeight);
  damageDefer(true);
  updateScrollBars(w);
  if (hasFocus) makeCaret(w);
  display.paintHint = PAINT_ALL;
  InvalidateRect(w, nullptr, TRUE);
}

void displayAttach(HWND w, const DisplayConfig& config) {
  terminalWindow = w;
  displayConfig = config;
  display.resizeMode = config.resizeMode;
  hasFocus = GetFocus() == w;
  applyFont(w);
  SetScrollRange(verticalBar, SB_CTL, 0, screen.historyLines, FALSE);
  SetScrollPos(verticalBar, SB_CTL, screen.viewPosition, TRUE);
}

// ---- painting

static HBRUSH backgroundBrush() {
  static HBRUSH brush = nullptr;
  static COLORREF colour = 0;
  COLORREF wanted = eraseColour(terminalOptions.emulation);
  if (!brush || colour != wanted) {
    if (brush) DeleteObject(brush);
    colour = wanted;
    brush = CreateSolidBrush(colour);
  }
  return brush;
}

// Draws one view row from horizontalOffset; the rest of the row is background.
static void drawRow(HDC dc, int row, int rightEdge) {
  const ScreenBuffer& s = screen;
  const ScreenLine& l = lineAt(row);
  const uint8_t* attrs = &s.attributes[static_cast<size_t>(lineOfRow(row)) * LINE_CELLS];
  int used = std::clamp<int>(l.used, 0, LINE_CELLS);
  int first = s.horizontalOffset;
  int y = cellY(row);
  int x = 0;
  static INT advances[LINE_CELLS];
  for (int i = 0; i < LINE_CELLS; ++i) advances[i] = s.cellWidth;
  int emulation = terminalOptions.emulation;
  if (emulation == TERM_TTY || emulation == TERM_VT52) {
    // Attributes are not shown: the row is one string in the scheme's colours.
    int n = std::max(0, used - first);
    if (n > 0) {
      SetTextColor(dc, terminalColours.text);
      SetBkColor(dc, terminalColours.background);
      RECT r = {0, y, n * s.cellWidth, y + s.cellHeight};
      ExtTextOutA(dc, 0, y, ETO_OPAQUE, &r, reinterpret_cast<const char*>(l.cells + first), n, advances);
      x = n * s.cellWidth;
    }
  } else {
    // Each cell in its own colours; a run of one attribute is one call. The
    // row ends at its first control character.
    int c = first;
    while (c < used && l.cells[c] >= 0x20) {
      int end = c + 1;
      while (end < used && l.cells[end] >= 0x20 && attrs[end] == attrs[c]) ++end;
      uint32_t text, back;
      cellColours(attrs[c], emulation, &text, &back);
      SetTextColor(dc, text);
      SetBkColor(dc, back);
      int x0 = (c - first) * s.cellWidth;
      RECT r = {x0, y, x0 + (end - c) * s.cellWidth, y + s.cellHeight};
      ExtTextOutA(dc, x0, y, ETO_OPAQUE, &r, reinterpret_cast<const char*>(l.cells + c), end - c, advances);
      x = r.right;
      c = end;
    }
  }
  if (x < rightEdge) {
    RECT r = {x, y, rightEdge, y + s.cellHeight};
    FillRect(dc, &r, backgroundBrush());
  }
}

// Inverts the marked cells of view rows first..last that are in view.
void invertSelectionRows(HDC dc, int first, int last) {
  const ScreenBuffer& s = screen;
  if (!display.selectionExists || s.marks.empty()) return;
  first = std::max(first, 0);
  last = std::min(last, s.rows - 1);
  int shown = s.textRight / std::max(1, s.cellWidth);
  for (int row = first; row <= last; ++row) {
    const uint8_t* m = &s.marks[static_cast<size_t>(lineOfRow(row)) * LINE_CELLS];
    int end = std::min(LINE_CELLS, s.horizontalOffset + shown);
    for (int c = s.horizontalOffset; c < end;) {
      if (!m[c]) {
        ++c;
        continue;
      }
      int e = c;
      while (e < end && m[e]) ++e;
      RECT r = {cellX(c), cellY(row), cellX(e), cellY(row + 1)};
      InvertRect(dc, &r);
      c = e;
    }
  }
}

void paintTerminal(HDC dc, HWND w) {
  const ScreenBuffer& s = screen;
  int hint = display.paintHint;
  display.paintHint = PAINT_ALL;
  if (s.capacity <= 0 || hint == PAINT_NOTHING) return;
  // Noted changes not shown yet start from what the window showed before this paint.
  if (damagePending()) damageAll();
  HGDIOBJ oldFont = SelectObject(dc, terminalFont ? terminalFont : GetStockObject(ANSI_FIXED_FONT));
  RECT client;
  GetClientRect(w, &client);
  int right = client.right;
  int last = s.rows - 1;
  switch (hint) {
    case PAINT_TOP_ROW:
      drawRow(dc, 0, right);
      invertSelectionRows(dc, 0, 1);
      break;
    case PAINT_BOTTOM_ROW:
      drawRow(dc, last, right);
      invertSelectionRows(dc, last - 1, last);
      break;
    case PAINT_SELECTION:
      invertSelectionRows(dc, 0, last);
      break;
    case PAINT_LEFT_COLUMN:
    case PAINT_ALL:
    case PAINT_ROWS_ONLY:
    default:
      // Only the rows inside the region being painted: a received block
      // invalidates just the rows it changed.
      for (int row = 0; row <= last; ++row) {
        RECT r = {0, cellY(row), right, cellY(row + 1)};
        if (RectVisible(dc, &r)) drawRow(dc, row, right);
      }
      if (hint != PAINT_ROWS_ONLY) invertSelectionRows(dc, 0, last);
      break;
  }
  // Below the last row down to the status bars: background (the strip of a
  // hidden horizontal bar included).
  int bottom = static_cast<int>(client.bottom) - displayBelowText();
  if (!horizontalBar || !IsWindowVisible(horizontalBar)) bottom += GetSystemMetrics(SM_CYHSCROLL);
  if (cellY(s.rows) < bottom) {
    RECT r = {0, cellY(s.rows), right, bottom};
    FillRect(dc, &r, backgroundBrush());
  }
  SelectObject(dc, oldFont);
}

// ---- size and scroll bars

void displaySized(HWND w, int width, int height) {
  // A minimised window keeps its font and terminal size.
  if (width <= 0 || height <= 0) return;
  if (displayConfig.resizeMode == RESIZE_FONT) {
    applyFont(w);
    return;
  }
  // In Term mode the session has already fitted rows and columns to the
  // window (and told the host); here only the bars and the paint follow.
  updateScrollBars(w);
  display.paintHint = PAINT_ALL;
  InvalidateRect(w, nullptr, TRUE);
}

// One line of view movement scrolls the window contents and paints the one new
// row; larger moves repaint everything.
void displayScrollView(HWND w, int delta) {
  const ScreenBuffer& s = screen;
  int before = s.viewPosition;
  RECT pending;
  bool wasPending = GetUpdateRect(w, &pending, FALSE);
  scrollView(delta);
  int moved = s.viewPosition - before;
  if (moved == 0) return;
  if ((moved == 1 || moved == -1) && !wasPending) {
    ValidateRect(w, nullptr);
    RECT area = {0, s.textTop, s.textRight, cellY(s.rows)};
    ScrollWindowEx(w, 0, -moved * s.cellHeight, &area, &area, nullptr, nullptr, 0);
    int row = moved < 0 ? 0 : s.rows - 1;
    RECT fresh = {0, cellY(row), clientWidth(w), cellY(row + 1)};
    display.paintHint = moved < 0 ? PAINT_TOP_ROW : PAINT_BOTTOM_ROW;
    InvalidateRect(w, &fresh, FALSE);
  } else {
    display.paintHint = PAINT_ALL;
  }
  displayCaretToCursor();
}

void displayVScroll(HWND w, int code, int thumb) {
  const ScreenBuffer& s = screen;
  switch (code) {
    case SB_LINEUP: displayScrollView(w, -1); break;
    case SB_LINEDOWN: displayScrollView(w, 1); break;
    case SB_PAGEUP: displayScrollView(w, -s.rows); break;
    case SB_PAGEDOWN: displayScrollView(w, s.rows); break;
    case SB_TOP: displayScrollView(w, -s.viewPosition); break;
    case SB_BOTTOM: displayScrollView(w, s.historyLines - s.viewPosition); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: displayScrollView(w, thumb - s.viewPosition); break;
    default: break;
  }
}

void displaySetHorizontalOffset(HWND w, int offset) {
  int range = horizontalRange(clientWidth(w));
  offset = std::clamp(offset, 0, range);
  if (offset == screen.horizontalOffset) return;
  screen.horizontalOffset = offset;
  if (horizontalBar) SetScrollPos(horizontalBar, SB_CTL, offset, TRUE);
  screen.textRight = visibleTextWidth(clientWidth(w));
  display.paintHint = PAINT_ALL;
  InvalidateRect(w, nullptr, FALSE);
  displayCaretToCursor();
}

void displayHScroll(HWND w, int code, int thumb) {
  int page = std::max(1, (clientWidth(w) - TEXT_MARGIN) / std::max(1, screen.cellWidth));
  int offset = screen.horizontalOffset;
  switch (code) {
    case SB_LINELEFT: --offset; break;
    case SB_LINERIGHT: ++offset; break;
    case SB_PAGELEFT: offset -= page; break;
    case SB_PAGERIGHT: offset += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: offset = thumb; break;
    default: return;
  }
  displaySetHorizontalOffset(w, offset);
}

void displayFocus(HWND w, bool gained) {
  hasFocus = gained;
  if (gained) makeCaret(w);
  else DestroyCaret();
}

// ---- keys

void displayKeyDown(HWND, WPARAM vk, LPARAM flags) {
  bool keypadEnter = vk == VK_RETURN && (flags & (1 << 24));
  keyPressed(static_cast<int>(vk), keypadEnter);
  if (emulator.autoRepeat) keyToHost(static_cast<int>(vk));
}

void displayKeyUp(HWND, WPARAM vk, LPARAM) {
  keyReleased(static_cast<int>(vk));
  if (!emulator.autoRepeat) keyToHost(static_cast<int>(vk));
}

void displayChar(HWND, WPARAM ch) { typedCharacter(static_cast<uint8_t>(ch)); }

bool displayMessage(HWND w, UINT m, WPARAM wp, LPARAM lp, LRESULT* result) {
  *result = 0;
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      paintTerminal(dc, w);
      EndPaint(w, &ps);
      return true;
    }
    case WM_ERASEBKGND:
      *result = 1;  // the paint fills every pixel of the text area itself
      return true;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) displaySized(w, LOWORD(lp), HIWORD(lp));
      return true;
    case WM_VSCROLL: displayVScroll(w, LOWORD(wp), HIWORD(wp)); return true;
    case WM_HSCROLL: displayHScroll(w, LOWORD(wp), HIWORD(wp)); return true;
    case WM_SETFOCUS: displayFocus(w, true); return true;
    case WM_KILLFOCUS: displayFocus(w, false); return true;
    case WM_LBUTTONDOWN:
      displayMouseDown(w, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return true;
    case WM_MOUSEMOVE:
      displayMouseMove(w, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), (wp & MK_LBUTTON) != 0);
      return true;
    case WM_LBUTTONUP: displayMouseUp(w); return true;
    case WM_LBUTTONDBLCLK:
      displayDoubleClick(w, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return true;
    case WM_MOUSEWHEEL: displayWheel(w, GET_WHEEL_DELTA_WPARAM(wp)); return true;
    case WM_KEYDOWN: displayKeyDown(w, wp, lp); return true;
    case WM_KEYUP: displayKeyUp(w, wp, lp); return true;
    case WM_CHAR: displayChar(w, wp); return true;
    default: return false;
  }
}
