// The About box of a terminal program: its own dialog resource, filled with
// the total memory and, where the dialog has the line, the local address.
#include <windows.h>

#include <cstdio>
#include <string>

#include "frame/frame_ids.h"
#include "frame/frame_internal_win32.h"

namespace {
INT_PTR CALLBACK AboutDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      MEMORYSTATUS memory{};
      memory.dwLength = sizeof memory;
      GlobalMemoryStatus(&memory);
      char text[64];
      snprintf(text, sizeof text, "%d bytes total memory", static_cast<int>(memory.dwTotalPhys & 0x7FFFFFFF));
      SetDlgItemTextA(dialog, IDC_ABOUT_MEMORY, text);
      if (GetDlgItem(dialog, IDC_ABOUT_ADDRESS)) {
        std::string address = frameLocalAddress();
        size_t colon = address.find(':');
        SetDlgItemTextA(dialog, IDC_ABOUT_ADDRESS, colon == std::string::npos ? "0.0.0.0" : address.c_str() + colon + 1);
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
}  // namespace

void frameAbout() { DialogBoxA(GetModuleHandleA(nullptr), frameWin.program->aboutDialog, frameWin.window, AboutDlgFunc); }
