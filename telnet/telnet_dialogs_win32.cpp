// The Telnet program's "Send telnet command" dialog.
#include <windows.h>


#include "telnet/telnet_engine.h"
#include "telnet/telnet_ids.h"
#include "telnet/telnet_program_win32.h"

namespace {
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


void telnetCommandDialog(HWND owner) {
  DialogBoxA(GetModuleHandleA(nullptr), "TELNETCOMMAND", owner, CommandDlgFunc);
}
