// Surface over GDI: the terminal's incremental window updates.
#include <windows.h>

#include "terminal/colours.h"
#include "terminal/options.h"
#include "terminal/surface.h"
#include "terminal/surface_win32.h"

static HWND window = nullptr;
static HFONT font = nullptr;
static int cellW = 8, cellH = 16;
static bool caretShown = false;
// With the display painting the window from the buffer, a received block is
// not drawn piece by piece: the window is repainted once when the block ends
// (the receive path hides the caret for exactly the length of a block).
static bool deferToPaint = false;
static bool inBlock = false;
static bool changed = false;
static bool barPending = false;
static int barPosition = 0, barMaximum = 0;

void surfaceDeferToPaint(bool on) {
  deferToPaint = on;
  inBlock = changed = false;
}

static bool deferred() {
  if (!inBlock) return false;
  changed = true;
  return true;
}

void surfaceAttach(HWND w, HFONT f, int cellWidth, int cellHeight) {
  deferToPaint = inBlock = changed = false;
  window = w;
  font = f;
  cellW = cellWidth > 0 ? cellWidth : 8;
  cellH = cellHeight > 0 ? cellHeight : 16;
}

void surfaceScroll(int left, int top, int right, int bottom, int dx, int dy) {
  if (!window || deferred()) return;
  RECT r = {left, top, right, bottom};
  ScrollWindowEx(window, dx, dy, &r, &r, nullptr, nullptr, 0);
}

void surfaceFill(int left, int top, int right, int bottom) {
  if (!window || deferred()) return;
  HDC dc = GetDC(window);
  RECT r = {left, top, right, bottom};
  // The same colour the paint erases with.
  HBRUSH brush = CreateSolidBrush(eraseColour(terminalOptions.emulation));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  ReleaseDC(window, dc);
}

void surfaceDrawCell(int x, int y, uint8_t ch, uint32_t textColour, uint32_t backColour) {
  if (!window || deferred()) return;
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
  if (!window || count <= 0 || deferred()) return;
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
  if (window) SetCaretPos(x, y);
}

void surfaceShowCaret(bool shown) {
  if (window && deferToPaint) {
    if (!shown && !inBlock) {
      inBlock = true;
      changed = false;
    } else if (shown && inBlock) {
      inBlock = false;
      if (barPending) {
        barPending = false;
        surfaceSetScrollBar(barPosition, barMaximum);
      }
      if (changed) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
      }
    }
  }
  if (!window || shown == caretShown) return;
  caretShown = shown;
  if (shown) ShowCaret(window);
  else HideCaret(window);
}

void surfaceBeep() { MessageBeep(0xFFFFFFFF); }

void surfaceInvalidate() {
  if (window) InvalidateRect(window, nullptr, TRUE);
}

void surfaceSetScrollBar(int position, int maximum) {
  if (!window) return;
  // Within a block only the last setting is shown, once, when the block ends.
  if (inBlock) {
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
  if (GetScrollInfo(window, SB_VERT, &now) && now.nMin == 0 && now.nMax == maximum && now.nPos == position) return;
  SetScrollRange(window, SB_VERT, 0, maximum, FALSE);
  SetScrollPos(window, SB_VERT, position, TRUE);
}
