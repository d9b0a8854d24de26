// The Telnet program's small dialogs: the About box and "Send telnet command".
#include <windows.h>

#include <cstdio>
#include <string>

#include "telnet/telnet_engine.h"
#include "telnet/telnet_ids.h"
#include "telnet/telnet_program_win32.h"

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
      std::string address = frameLocalAddress();
      size_t colon = address.find(':');
      SetDlgItemTextA(dialog, IDC_ABOUT_ADDRESS, colon == std::string::npos ? "0.0.0.0" : address.c_str() + colon + 1);
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

INT_PTR CALLBACK CommandDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      for (const char* name : telnetUserCommandNames)
        SendDlgItemMessageA(dialog, IDC_TELNET_COMMAND_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
      SendDlgItemMessageA(dialog, IDC_TELNET_COMMAND_LIST, CB_SETCURSEL, 0, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDC_TELNET_COMMAND_SEND) {
        int index = static_cast<int>(SendDlgItemMessageA(dialog, IDC_TELNET_COMMAND_LIST, CB_GETCURSEL, 0, 0));
        telnetSendUserCommand(index);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
}  // namespace

void aboutBox(HWND owner) { DialogBoxA(GetModuleHandleA(nullptr), "ABOUTTELNET", owner, AboutDlgFunc); }

void telnetCommandDialog(HWND owner) {
  DialogBoxA(GetModuleHandleA(nullptr), "TELNETCOMMAND", owner, CommandDlgFunc);
}
