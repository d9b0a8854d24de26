#include "shell/statusbar_win32.h"

#include <commctrl.h>

#include "shell/message_box.h"

namespace {
HWND bar = nullptr;
bool visible = true;

struct SystemHint {
  int command;
  const char* text;
};
const SystemHint SYSTEM_HINTS[] = {
    {SC_SIZE, "Change Kelvro window size"},
    {SC_MOVE, "Change Kelvro window position"},
    {SC_MINIMIZE, "Iconize Kelvro window"},
    {SC_MAXIMIZE, "Enlarge Kelvro window to fill screen"},
    {SC_CLOSE, "Exit from this program"},
    {SC_RESTORE, "Restore Kelvro window to normal size"},
    {SC_TASKLIST, "Switch to another task"},
};
}  // namespace

HWND statusBarCreate(HWND parent) {
  bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(STATUS_BAR_ID), GetModuleHandleA(nullptr), nullptr);
  visible = bar != nullptr;
  RECT r;
  GetClientRect(parent, &r);
  statusBarLayout(r.right);
  return bar;
}

void statusBarLayout(int w, const int percent[3]) {
  if (!bar) return;
  SendMessageA(bar, WM_SIZE, 0, 0);
  int edges[4] = {w * percent[0] / 100, w * percent[1] / 100, w * percent[2] / 100, -1};
  SendMessageA(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

void statusBarText(int part, const char* text) {
  if (bar) SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}

void statusBarShow(bool shown) {
  visible = shown;
  if (bar) ShowWindow(bar, shown ? SW_SHOW : SW_HIDE);
}

int statusBarHeight() {
  if (!bar || !visible) return 0;
  RECT r;
  GetWindowRect(bar, &r);
  return r.bottom - r.top;
}

const char* menuHint(int command, bool systemMenu) {
  if (systemMenu) {
    for (const SystemHint& h : SYSTEM_HINTS)
      if (h.command == (command & 0xFFF0)) return h.text;
    return "";
  }
  return messageText(command);
}

void menuHintSelect(WPARAM wp, LPARAM lp) {
  UINT flags = HIWORD(wp);
  if (flags == 0xFFFF && lp == 0) {  // the menu closed
    statusBarText(0, "");
    return;
  }
  if (flags & (MF_POPUP | MF_SEPARATOR)) {
    statusBarText(0, "");
    return;
  }
  statusBarText(0, menuHint(LOWORD(wp), (flags & MF_SYSMENU) != 0));
}
