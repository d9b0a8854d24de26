#include "shell/window_win32.h"

bool registerWindowClass(HINSTANCE instance, const char* className, WNDPROC procedure, const char* icon,
                         const char* menu, HBRUSH background, UINT extraStyle) {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW | extraStyle;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hIcon = icon ? LoadIconA(instance, icon) : nullptr;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszMenuName = menu;
  wc.lpszClassName = className;
  return RegisterClassA(&wc) != 0;
}

void centerOverOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  RECT o, d;
  if (!owner || !GetWindowRect(owner, &o) || !GetWindowRect(dialog, &d)) return;
  int x = o.left + ((o.right - o.left) - (d.right - d.left)) / 2;
  int y = o.top + ((o.bottom - o.top) - (d.bottom - d.top)) / 2;
  SetWindowPos(dialog, nullptr, x > 0 ? x : 0, y > 0 ? y : 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
