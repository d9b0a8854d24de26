// Mouse selection with its inverted display, and the menu commands that work
// on it: Select All, Copy, Transmit and Clear Buffer.
#include <windows.h>

#include <algorithm>
#include <string>

#include "terminal/display_internal_win32.h"
#include "terminal/link.h"
#include "terminal/screen.h"

static bool dragging = false;

static void showMessage(HWND w, const char* text) { MessageBoxA(w, text, "Message", MB_OK | MB_ICONEXCLAMATION); }

// Inverts the cells between two points (column, view row) in reading order,
// the same cells extendSelection toggles.
static void invertBetween(HWND w, int c0, int r0, int c1, int r1) {
  if (r0 > r1 || (r0 == r1 && c0 > c1)) {
    std::swap(c0, c1);
    std::swap(r0, r1);
  }
  HDC dc = GetDC(w);
  RECT clip = {0, screen.textTop, screen.textRight, cellY(screen.rows)};
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  for (int row = r0; row <= r1; ++row) {
    int from = row == r0 ? c0 : 0;
    int to = row == r1 ? c1 : LINE_CELLS;
    if (to <= from) continue;
    RECT r = {cellX(from), cellY(row), cellX(to), cellY(row + 1)};
    InvertRect(dc, &r);
  }
  ReleaseDC(w, dc);
}

// A point of the text area in cells: column of the line, row of the view.
static void pointToCell(int x, int y, int* column, int* row) {
  int cw = std::max(1, screen.cellWidth), ch = std::max(1, screen.cellHeight);
  // Snap to the nearest cell corner.
  *column = std::clamp((x + cw / 2) / cw + screen.horizontalOffset, 0, LINE_CELLS);
  *row = std::clamp((y - screen.textTop) / ch, 0, std::max(0, screen.rows - 1));
}

static bool insideText(int x, int y) {
  return x >= 0 && x < screen.textRight && y >= screen.textTop && y < cellY(screen.rows);
}

static void extendTo(HWND w, int column, int row) {
  int c0 = display.lastColumn, r0 = display.lastRow;
  int first, last;
  extendSelection(column, row, &first, &last);
  invertBetween(w, c0, r0, display.lastColumn, display.lastRow);
}

void displayMouseDown(HWND w, int x, int y) {
  if (display.selectionExists) {
    HDC dc = GetDC(w);
    invertSelectionRows(dc, 0, screen.rows - 1);
    ReleaseDC(w, dc);
  }
  clearSelection();
  int column, row;
  pointToCell(x, y, &column, &row);
  display.anchorColumn = display.lastColumn = column;
  display.anchorRow = display.lastRow = row;
  dragging = true;
  SetCapture(w);
}

// The pointer left the text area with the button held: keep extending to the
// nearest point inside, scrolling the view towards the pointer, until the
// button is released.
static void trackSelection(HWND w) {
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_LBUTTONUP || (msg.message == WM_QUIT)) {
        if (msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(msg.wParam));
        dragging = false;
        ReleaseCapture();
        return;
      }
      if (msg.message == WM_MOUSEMOVE && msg.hwnd == w) continue;  // handled below
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000) || !dragging || GetCapture() != w) break;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(w, &p);
    if (insideText(p.x, p.y)) break;
    int dy = p.y < screen.textTop ? -1 : (p.y >= cellY(screen.rows) ? 1 : 0);
    int dx = p.x < 0 ? -1 : (p.x >= screen.textRight ? 1 : 0);
    if (dy) {
      int before = screen.viewPosition;
      displayScrollView(w, dy);
      int moved = screen.viewPosition - before;
      // The text moved under the points: they follow their text.
      display.anchorRow -= moved;
      display.lastRow -= moved;
      UpdateWindow(w);
    }
    if (dx) {
      displaySetHorizontalOffset(w, screen.horizontalOffset + dx);
      UpdateWindow(w);
    }
    int x = std::clamp(static_cast<int>(p.x), 0, std::max(0, screen.textRight - 1));
    int y = std::clamp(static_cast<int>(p.y), screen.textTop, std::max(screen.textTop, cellY(screen.rows) - 1));
    int column, row;
    pointToCell(x, y, &column, &row);
    if (display.lastRow < 0 || display.lastRow >= screen.rows) {
      // The last point scrolled out of the view: mark through without drawing.
      int first, last;
      extendSelection(column, row, &first, &last);
      display.paintHint = PAINT_ALL;
      InvalidateRect(w, nullptr, FALSE);
    } else {
      extendTo(w, column, row);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

void displayMouseMove(HWND w, int x, int y, bool buttonDown) {
  if (!dragging || !buttonDown) return;
  if (!insideText(x, y)) {
    trackSelection(w);
    return;
  }
  int column, row;
  pointToCell(x, y, &column, &row);
  extendTo(w, column, row);
}

void displayMouseUp(HWND) {
  if (!dragging) return;
  dragging = false;
  ReleaseCapture();
}

void displaySelectAll(HWND w) {
  selectAll();
  display.paintHint = PAINT_ALL;
  InvalidateRect(w, nullptr, FALSE);
}

void copySelection(HWND w) {
  if (!display.selectionExists) return;
  std::string text = selectionText();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!block) {
    showMessage(w, "Failed to allocate memory");
    return;
  }
  char* p = static_cast<char*>(GlobalLock(block));
  if (!p) {
    GlobalFree(block);
    showMessage(w, "Failed to lock memory");
    return;
  }
  std::copy(text.begin(), text.end(), p);
  p[text.size()] = 0;
  GlobalUnlock(block);
  if (!OpenClipboard(w)) {
    GlobalFree(block);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
  CloseClipboard();
}

// Keeps the program working while Transmit waits: received data is processed
// by the handlers the dispatched messages reach.
static void transmitWait(int ms) {
  DWORD end = GetTickCount() + static_cast<DWORD>(ms > 0 ? ms : 10);
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DWORD now = GetTickCount();
    if (static_cast<int>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

void transmitClipboard(HWND w) {
  static bool running = false;  // a second Transmit while one runs is ignored
  if (running || !linkConnected()) return;
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(w)) return;
  std::string text;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* p = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (data && !p) {
    CloseClipboard();
    showMessage(w, "Failed to lock memory");
    return;
  }
  if (p) {
    // The clipboard is only borrowed: its text is copied before the long send.
    size_t limit = GlobalSize(data);
    size_t n = 0;
    while (n < limit && p[n]) ++n;
    text.assign(p, n);
    GlobalUnlock(data);
  }
  CloseClipboard();
  running = true;
  transmitText(reinterpret_cast<const uint8_t*>(text.data()), text.size(), displayConfig.transmit, transmitWait);
  running = false;
}

void displayClearBuffer(HWND w) {
  clearBuffer();
  SetScrollRange(displayVerticalBar(), SB_CTL, 0, 0, FALSE);
  display.paintHint = PAINT_ALL;
  InvalidateRect(w, nullptr, FALSE);
  displayCaretToCursor();
}

void displayDoubleClick(HWND w, int x, int y) {
  int column, row;
  pointToCell(x, y, &column, &row);
  selectWordAt(column, row);
  display.paintHint = PAINT_ALL;
  InvalidateRect(w, nullptr, FALSE);
}

void displayWheel(HWND w, int delta) {
  static int rest = 0;  // parts of a notch from fine-grained wheels
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  rest += delta;
  int notches = rest / WHEEL_DELTA;
  rest -= notches * WHEEL_DELTA;
  if (notches == 0 || lines == 0) return;
  int step = lines == WHEEL_PAGESCROLL ? screen.rows : static_cast<int>(lines);
  displayScrollView(w, -notches * step);
}
