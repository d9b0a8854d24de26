// Surface over GDI: the terminal's incremental window updates.
#include <windows.h>

#include <algorithm>

#include "terminal/colours.h"
#include "terminal/display_damage.h"
#include "terminal/options.h"
#include "terminal/surface.h"
#include "terminal/surface_win32.h"

#include "terminal/display_win32.h"

static HWND window = nullptr;
static HFONT font = nullptr;
static int cellW = 8, cellH = 16;
// The caret is hidden from the start of a received block until its changes are
// shown, and moved once then: under Wine every caret call is a round trip to
// the server, and one that shows, hides or moves a visible caret also draws.
static bool caretHidden = false;
static bool caretMoved = false;
static int caretX = 0, caretY = 0;
static bool inBlock = false;
static bool barPending = false;
static int barPosition = 0, barMaximum = 0;
static DWORD lastShown = 0;
static bool showTimerArmed = false;

// Received data is shown at most this often: a host that keeps sending gets
// one repaint per interval, not one per read, and the window is current this
// long after the data stops.
constexpr DWORD SHOW_INTERVAL_MS = 30;
constexpr UINT_PTR SHOW_TIMER = 0x5EED;

void surfaceAttach(HWND w, HFONT f, int cellWidth, int cellHeight) {
  if (window && showTimerArmed) KillTimer(window, SHOW_TIMER);
  showTimerArmed = false;
  inBlock = false;
  damageDefer(false);
  window = w;
  font = f;
  cellW = cellWidth > 0 ? cellWidth : 8;
  cellH = cellHeight > 0 ? cellHeight : 16;
}

void surfaceScroll(int left, int top, int right, int bottom, int dx, int dy) {
  if (!window || damageScroll(left, top, right, bottom, dx, dy)) return;
  RECT r = {left, top, right, bottom};
  ScrollWindowEx(window, dx, dy, &r, &r, nullptr, nullptr, 0);
}

void surfaceFill(int left, int top, int right, int bottom) {
  if (!window || damageRect(left, top, right, bottom)) return;
  HDC dc = GetDC(window);
  RECT r = {left, top, right, bottom};
  // The same colour the paint erases with.
  HBRUSH brush = CreateSolidBrush(eraseColour(terminalOptions.emulation));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  ReleaseDC(window, dc);
}

void surfaceDrawCell(int x, int y, uint8_t ch, uint32_t textColour, uint32_t backColour) {
  if (!window || damageRect(x, y, x + cellW, y + cellH)) return;
  HDC dc = GetDC(window);
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SetTextColor(dc, textColour);
  SetBkColor(dc, backColour);
  RECT r = {x, y, x + cellW, y + cellH};
  char c = static_cast<char>(ch);
  ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &r, &c, 1, nullptr);
  if (old) SelectObject(dc, old);
  ReleaseDC(window, dc);
}

void surfaceDrawCells(int x, int y, int cellWidth, const uint8_t* chars, int count, uint32_t textColour,
                      uint32_t backColour) {
  if (!window || count <= 0 || damageRect(x, y, x + count * cellWidth, y + cellH)) return;
  // A row holds at most 255 cells; each character advances exactly one cell.
  INT advances[255];
  count = count > 255 ? 255 : count;
  for (int i = 0; i < count; ++i) advances[i] = cellWidth;
  HDC dc = GetDC(window);
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SetTextColor(dc, textColour);
  SetBkColor(dc, backColour);
  RECT r = {x, y, x + count * cellWidth, y + cellH};
  ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &r, reinterpret_cast<const char*>(chars), count, advances);
  if (old) SelectObject(dc, old);
  ReleaseDC(window, dc);
}

void surfaceMoveCaret(int x, int y) {
  if (!window) return;
  caretX = x;
  caretY = y;
  caretMoved = caretHidden;
  if (!caretHidden) SetCaretPos(x, y);
}

static void hideCaret() {
  if (caretHidden) return;
  caretHidden = true;
  HideCaret(window);
}

// Once the window shows the buffer: the caret at the cursor's last place.
static void showCaret() {
  if (caretMoved) SetCaretPos(caretX, caretY);
  caretMoved = false;
  if (!caretHidden) return;
  caretHidden = false;
  ShowCaret(window);
}

void surfaceCaretMade() {
  caretHidden = false;
  caretMoved = false;
}

static void showBar() {
  if (!barPending) return;
  barPending = false;
  surfaceSetScrollBar(barPosition, barMaximum);
}

static void showNow() {
  if (showTimerArmed) KillTimer(window, SHOW_TIMER);
  showTimerArmed = false;
  // A region waiting to be painted would be moved along with a scroll.
  RECT waiting;
  if (GetUpdateRect(window, &waiting, FALSE)) damageAll();
  damageShow(
      [](int top, int bottom, int dy) {
        RECT client;
        GetClientRect(window, &client);
        RECT r = {0, top, client.right, bottom};
        ScrollWindowEx(window, 0, dy, &r, &r, nullptr, nullptr, 0);
      },
      [](int top, int bottom) {
        RECT client;
        GetClientRect(window, &client);
        RECT r = {0, std::max(0, top), client.right, std::min(static_cast<int>(client.bottom), bottom)};
        InvalidateRect(window, &r, FALSE);
      });
  // After the damage is shown: before it, the bar's setting was held back
  // again as pending and the bar stayed a block behind the text.
  showBar();
  UpdateWindow(window);
  if (!inBlock) showCaret();
  // Counted from the end of the paint: however long a repaint takes, the
  // interval after it is left to reading and processing data.
  lastShown = GetTickCount();
}

static void CALLBACK showTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (window) showNow();
}

void surfaceShowChanges() {
  if (!window) return;
  DWORD since = GetTickCount() - lastShown;
  if (since >= SHOW_INTERVAL_MS) {
    showNow();
  } else if (!showTimerArmed) {
    showTimerArmed = SetTimer(window, SHOW_TIMER, SHOW_INTERVAL_MS - since, showTimer) != 0;
    if (!showTimerArmed) showNow();
  }
}

void surfaceShowCaret(bool shown) {
  if (!window) return;
  inBlock = !shown;
  bool show = damageBlock(!shown);
  if (!shown) {
    hideCaret();
    return;
  }
  // A long run of input is still shown every SHOW_INTERVAL_MS.
  if (!show && damagePending() && GetTickCount() - lastShown >= SHOW_INTERVAL_MS) {
    showNow();
  } else if (show) {
    surfaceShowChanges();
  } else if (!damagePending()) {
    showBar();
    showCaret();
  }
}

void surfaceBeep() { MessageBeep(0xFFFFFFFF); }

void surfaceInvalidate() {
  if (window && !damageAll()) InvalidateRect(window, nullptr, TRUE);
}

void surfaceSetScrollBar(int position, int maximum) {
  if (!window) return;
  // Within a block only the last setting is shown, once, when the block ends.
  if (inBlock || damagePending()) {
    barPending = true;
    barPosition = position;
    barMaximum = maximum;
    return;
  }
  // Redrawing the bar costs more than drawing a block of text, so a setting
  // the bar already shows (a full scrollback at its end) is not redrawn.
  SCROLLINFO now{};
  now.cbSize = sizeof now;
  now.fMask = SIF_RANGE | SIF_POS;
  HWND bar = displayVerticalBar();
  if (!bar) return;
  if (GetScrollInfo(bar, SB_CTL, &now) && now.nMin == 0 && now.nMax == maximum && now.nPos == position) return;
  SetScrollRange(bar, SB_CTL, 0, maximum, FALSE);
  SetScrollPos(bar, SB_CTL, position, TRUE);
}
