#include "shell/toolbar_win32.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <string>
#include <vector>

namespace {
HWND bar = nullptr;
bool visible = true;
std::vector<ToolButton> table;

constexpr int IMAGE_SIZE = 20;
}  // namespace

bool commonControlsFlat() {
  HMODULE lib = GetModuleHandleA("comctl32.dll");
  if (!lib) return false;
  auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(lib, "DllGetVersion")));
  if (!getVersion) return false;
  DLLVERSIONINFO info{};
  info.cbSize = sizeof info;
  if (getVersion(&info) != S_OK) return false;
  return info.dwMajorVersion > 4 || (info.dwMajorVersion == 4 && info.dwMinorVersion >= 71);
}

HWND toolbarCreate(HWND parent, const char* bitmapName, const ToolButton* buttons, int count) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  DWORD style = WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_TOP;
  if (commonControlsFlat()) style |= TBSTYLE_FLAT;
  bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", style, 0, 0, 0, 0, parent, nullptr, instance, nullptr);
  if (!bar) {
    MessageBoxA(parent, "Failed to create toolbar", "INFO", MB_OK | MB_ICONINFORMATION);
    return nullptr;
  }
  table.assign(buttons, buttons + count);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELONG(IMAGE_SIZE, IMAGE_SIZE));
  TBADDBITMAP bitmap{};
  bitmap.hInst = nullptr;
  bitmap.nID = reinterpret_cast<UINT_PTR>(
      LoadImageA(instance, bitmapName, IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  SendMessageA(bar, TB_ADDBITMAP, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&bitmap));
  std::vector<TBBUTTON> tb(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    // Captions are added one at a time: the list form needs a double NUL.
    std::string caption = std::string(buttons[i].caption) + '\0';
    int text = static_cast<int>(SendMessageA(bar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(caption.c_str())));
    tb[i].iBitmap = i;
    tb[i].idCommand = buttons[i].command;
    tb[i].fsState = TBSTATE_ENABLED;
    tb[i].fsStyle = TBSTYLE_BUTTON;
    tb[i].iString = text;
  }
  SendMessageA(bar, TB_ADDBUTTONSA, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(tb.data()));
  SendMessageA(bar, TB_AUTOSIZE, 0, 0);
  visible = true;
  return bar;
}

void toolbarSetOnline(bool online, const int* onlineButtons, int onlineCount, const int* offlineButtons,
                      int offlineCount) {
  if (!bar) return;
  for (int i = 0; i < onlineCount; ++i) SendMessageA(bar, TB_HIDEBUTTON, onlineButtons[i], MAKELONG(!online, 0));
  for (int i = 0; i < offlineCount; ++i) SendMessageA(bar, TB_HIDEBUTTON, offlineButtons[i], MAKELONG(online, 0));
}

void toolbarEnable(int command, bool enabled) {
  if (bar) SendMessageA(bar, TB_ENABLEBUTTON, command, MAKELONG(enabled, 0));
}

bool toolbarNotify(LPARAM lp) {
  NMHDR* header = reinterpret_cast<NMHDR*>(lp);
  if (header->code != TTN_NEEDTEXTA) return false;
  TOOLTIPTEXTA* tip = reinterpret_cast<TOOLTIPTEXTA*>(lp);
  for (const ToolButton& b : table)
    if (static_cast<UINT_PTR>(b.command) == header->idFrom) {
      tip->hinst = nullptr;
      tip->lpszText = const_cast<char*>(b.tooltip);
      return true;
    }
  return false;
}

void toolbarShow(bool shown) {
  visible = shown;
  if (bar) ShowWindow(bar, shown ? SW_SHOW : SW_HIDE);
}

void toolbarLayout() {
  if (bar) SendMessageA(bar, TB_AUTOSIZE, 0, 0);
}

int toolbarHeight() {
  if (!bar || !visible) return 0;
  RECT r;
  GetWindowRect(bar, &r);
  return r.bottom - r.top;
}
