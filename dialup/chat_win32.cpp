#include "dialup/chat_win32.h"

#include "dialup/chat_pane.h"
#include "terminal/capture.h"
#include "terminal/screen.h"

namespace {
bool on = false;
ChatScreen chat;
int cellWidth = 8, cellHeight = 16;

HFONT chatFont() { return static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT)); }

void measure(HWND window) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, chatFont());
  TEXTMETRICA tm;
  if (GetTextMetricsA(dc, &tm)) {
    cellWidth = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 8;
    cellHeight = tm.tmHeight > 0 ? tm.tmHeight : 16;
  }
  SelectObject(dc, old);
  ReleaseDC(window, dc);
}

void paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  RECT area = client;
  area.top = screen.textTop;
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ old = SelectObject(dc, chatFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  for (int line = 0; line < CHAT_ROWS; ++line) {
    int y = screen.textTop + line * cellHeight;
    if (y > client.bottom) break;
    TextOutA(dc, 2, y, chat.rows[line], chat.columns);
  }
  // The line between the panes, across the window.
  const int y = screen.textTop + CHAT_DIVIDER_LINE * cellHeight + cellHeight / 2;
  MoveToEx(dc, 0, y, nullptr);
  LineTo(dc, client.right, y);
  SelectObject(dc, old);
  EndPaint(window, &ps);
}

void invalidateLines(HWND window) { InvalidateRect(window, nullptr, FALSE); }

// The terminal's scroll bars (child scroll-bar controls) do nothing in chat mode.
BOOL CALLBACK enableScrollBar(HWND child, LPARAM enable) {
  char name[16] = "";
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "SCROLLBAR") == 0) EnableWindow(child, enable ? TRUE : FALSE);
  return TRUE;
}
}  // namespace

bool chatOn() { return on; }

void chatToggle(HWND window, int menuId) {
  on = !on;
  if (on) {
    measure(window);
    RECT r;
    GetClientRect(window, &r);
    chatReset(chat, r.right / (cellWidth > 0 ? cellWidth : 8));
  }
  EnumChildWindows(window, enableScrollBar, on ? 0 : 1);
  // The terminal's caret stands where the terminal's cursor is: not in the panes.
  if (on) HideCaret(window);
  else ShowCaret(window);
  CheckMenuItem(GetMenu(window), static_cast<UINT>(menuId), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  InvalidateRect(window, nullptr, TRUE);
}

bool chatMessage(HWND window, UINT message, WPARAM wParam) {
  if (!on) return false;
  switch (message) {
    case WM_PAINT:
      paint(window);
      return true;
    case WM_CHAR:
      chatLocal(chat, static_cast<uint8_t>(wParam));
      invalidateLines(window);
      return false;  // the terminal's key path sends it
    default:
      return false;
  }
}

void chatReceived(HWND window, const uint8_t* bytes, int length, bool eightBit) {
  for (int i = 0; i < length; ++i) {
    if (captureRunning()) captureByte(bytes[i]);
    if (chatRemote(chat, bytes[i], eightBit)) MessageBeep(0);
  }
  if (length > 0) invalidateLines(window);
}
