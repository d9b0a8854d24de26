// The FTP line's window side: a watch timer that looks at the idle control
// connection, and the keys typed into the session view, which go to the
// ftp> prompt instead of a terminal's key map.
#include <windows.h>

#include "frame/frame_session.h"
#include "frame/frame_win32.h"
#include "ftp/ftp_connection.h"
#include "ftp/ftp_session.h"
#include "ftp/ftp_window_win32.h"

namespace {
// Within the session's timers 1 to 28, which end with the session.
constexpr UINT_PTR WATCH_TIMER = 6;
constexpr UINT WATCH_MS = 250;
}  // namespace

void ftpLineWatchStart() {
  if (HWND w = frameWindow()) SetTimer(w, WATCH_TIMER, WATCH_MS, nullptr);
}

bool ftpLineMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam != WATCH_TIMER) return false;
      ftpLinePoll();
      return true;
    case WM_CHAR:
      if (frameOnline()) ftpTypedChar(static_cast<uint8_t>(wParam));
      return true;
    case WM_SETCURSOR:
      // While a command runs the window shows that it waits.
      if (!ftp.busy || LOWORD(lParam) != HTCLIENT) return false;
      SetCursor(LoadCursor(nullptr, IDC_WAIT));
      return true;
    case WM_KEYDOWN:
    case WM_KEYUP:
      // No key map: the characters arrive as WM_CHAR.
      return true;
    default:
      return false;
  }
}

uintptr_t ftpLineModeless() {
  HWND transfer = ftpTransferDialog();
  return reinterpret_cast<uintptr_t>(transfer ? transfer : ftpWindowHandle());
}
