// The port's hold flags and queues; an XOFF hold can be released, and
// "Reset Term" also purges the queues, restarts the watcher and resets the
// terminal's character sets.
#include "dialup/comm_status_win32.h"

#include <cstdio>

#include "dialup/dialup_dialog_ids.h"
#include "dialup/serial_port_win32.h"
#include "dialup/serial_watcher_win32.h"
#include "frame/frame_win32.h"
#include "shell/help_win32.h"
#include "terminal/emulator.h"
#include "terminal/link.h"

namespace {
const HelpTopic HELP_COMM_STATUS = {"dialup_commseting.html", nullptr, 0};

void showStatus(HWND dialog) {
  HANDLE port = serialPortHandle();
  DWORD errors = 0;
  COMSTAT stat{};
  if (port == INVALID_HANDLE_VALUE || !ClearCommError(port, &errors, &stat)) stat = COMSTAT{};
  SetDlgItemTextA(dialog, IDC_STATUS_CTS, stat.fCtsHold ? "X" : "");
  CheckDlgButton(dialog, IDC_STATUS_XOFF, stat.fXoffHold ? BST_CHECKED : BST_UNCHECKED);
  // What the watcher read and the window has not yet taken is still queued for the user.
  SetDlgItemInt(dialog, IDC_STATUS_IN_QUEUE, stat.cbInQue + static_cast<DWORD>(serialWatcherHeld()), FALSE);
  SetDlgItemInt(dialog, IDC_STATUS_OUT_QUEUE, stat.cbOutQue, FALSE);
}

// Transmission goes on as if XON had come; nothing when no XOFF holds it.
void releaseXoff(HWND dialog) {
  HANDLE port = serialPortHandle();
  DWORD errors = 0;
  COMSTAT stat{};
  if (port == INVALID_HANDLE_VALUE || !ClearCommError(port, &errors, &stat) || !stat.fXoffHold) {
    CheckDlgButton(dialog, IDC_STATUS_XOFF, BST_UNCHECKED);
    return;
  }
  EscapeCommFunction(port, SETXON);
  CheckDlgButton(dialog, IDC_STATUS_XOFF, BST_UNCHECKED);
}

INT_PTR CALLBACK CommStatusDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      showStatus(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_STATUS_XOFF: releaseXoff(dialog); return TRUE;
        case IDC_STATUS_RESET_TERM: {
          releaseXoff(dialog);
          if (serialSessionOpen()) {
            linkPurge(0);  // what the watcher holds goes with the driver's queue
            linkPurge(1);
          }
          if (!serialWatcherRunning()) PostMessageA(frameWindow(), WM_COMMNOTIFY, 0, 0);
          emulatorReset();
          showStatus(dialog);
          return TRUE;
        }
        case IDC_STATUS_OK:
        case IDOK:
        case IDCANCEL: EndDialog(dialog, IDOK); return TRUE;
        case IDC_STATUS_HELP: helpShowTopic(dialog, HELP_COMM_STATUS); return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(dialog, IDOK);
      return TRUE;
  }
  return FALSE;
}
}  // namespace

void commStatusDialog(HWND owner) { DialogBoxParamA(GetModuleHandleA(nullptr), "CommStatus", owner, CommStatusDlgFunc, 0); }
