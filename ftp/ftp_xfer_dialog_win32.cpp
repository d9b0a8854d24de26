// The transfer dialog of downloads and uploads (XFRDLG, the terminal
// programs' template with its error lines hidden): it runs the engine's
// transfer on its start message, shows the progress at most ten times a
// second, sends the abort on Cancel and, once closed, restores the ASCII type
// and lists the side that changed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ftp/ftp_session.h"
#include "ftp/ftp_window_state_win32.h"
#include "ftp/ftp_window_win32.h"
#include "shell/pump_win32.h"
#include "shell/window_win32.h"
#include "terminal/link.h"
#include "transfer/transfer_dialog_ids.h"

namespace {
constexpr UINT kStart = WM_APP + 21;
constexpr DWORD kDrawEveryMs = 100;

struct XferState {
  HWND dialog = nullptr;
  int kind = KIND_GET;
  bool running = false;         // the engine's transfer runs inside the start message
  bool destroyPending = false;  // the session ended meanwhile
  bool done = false;            // the button reads "OK"
  FtpProgress last{};
  DWORD lastDraw = 0;
} x;

void text(int id, const char* value) { SetDlgItemTextA(x.dialog, id, value); }

void duration(int id, uint32_t ms) {
  char t[32];
  uint32_t s = ms / 1000;
  std::snprintf(t, sizeof t, "%02u:%02u:%02u", s / 3600, s / 60 % 60, s % 60);
  text(id, t);
}

void draw() {
  if (!x.dialog) return;
  char t[48];
  std::snprintf(t, sizeof t, "%lld", static_cast<long long>(x.last.offset));
  text(IDC_XFER_BYTES, t);
  duration(IDC_XFER_ELAPSED, x.last.elapsedMs);
  duration(IDC_XFER_REMAINING, x.last.remainingMs);
  std::snprintf(t, sizeof t, "%ld", x.last.rate);
  text(IDC_XFER_RATE, t);
  if (x.last.percent < 0) std::snprintf(t, sizeof t, "?");
  else std::snprintf(t, sizeof t, "%d %%", x.last.percent);
  text(IDC_XFER_PERCENT, t);
  InvalidateRect(GetDlgItem(x.dialog, IDC_XFER_BAR), nullptr, FALSE);
  x.lastDraw = GetTickCount();
}

void drawBar(const DRAWITEMSTRUCT* item) {
  RECT r = item->rcItem;
  int percent = x.last.percent < 0 ? 0 : x.last.percent;
  RECT filled = r;
  filled.right = r.left + (r.right - r.left) * percent / 100;
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(item->hDC, &filled, blue);
  DeleteObject(blue);
  RECT rest = r;
  rest.left = filled.right;
  FillRect(item->hDC, &rest, GetSysColorBrush(COLOR_BTNFACE));
}

// The template serves the terminal programs too; FTP has no error counts.
void hideErrorLines(HWND dialog) {
  ShowWindow(GetDlgItem(dialog, IDC_XFER_ERROR), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_XFER_ERRORS), SW_HIDE);
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char label[32] = "";
    GetWindowTextA(c, label, sizeof label);
    if (std::string(label) == "Error:" || std::string(label) == "Total Errors:") ShowWindow(c, SW_HIDE);
  }
}

void enableOwners(bool on) {
  if (ftpWin.main) EnableWindow(ftpWin.main, on);
  if (ftpWindowHandle()) EnableWindow(ftpWindowHandle(), on);
}

void destroyNow() {
  HWND d = x.dialog;
  x = XferState();
  enableOwners(true);
  if (d) DestroyWindow(d);
  pumpSetDialog(ftpWindowHandle());
}

void showDone() {
  x.done = true;
  draw();
  text(IDC_XFER_BUTTON, "OK");
  EnableWindow(GetDlgItem(x.dialog, IDC_XFER_BUTTON), TRUE);
}

void run() {
  x.running = true;
  int r = x.kind == KIND_GET ? ftpDownloadRun() : ftpUploadRun();
  x.running = false;
  if (x.destroyPending) {
    destroyNow();
    return;
  }
  // The next file of a multi-file download takes over the dialog.
  if (r == 0 && x.kind == KIND_GET && ftpWin.nextPending && ftpWindowNextDownload()) return;
  showDone();
}

// The button after the end, or the close box: TYPE A N, then the side that
// changed is listed again.
void closeDone() {
  const bool upload = x.kind == KIND_PUT;
  destroyNow();
  int r = ftpTransferFinish();
  ftp.busy = false;
  if (r == LINK_LOST || !ftpWindowHandle()) return;
  if (upload) ftpRemoteRefresh(nullptr);
  else ftpLocalRefresh();
}

void pressed() {
  if (x.running && !x.done) {
    ftpCancelTransfer();
    EnableWindow(GetDlgItem(x.dialog, IDC_XFER_BUTTON), FALSE);
  } else if (!x.running) {
    closeDone();
  }
}

INT_PTR CALLBACK FtpXferDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case kStart:
      if (dialog == x.dialog && !x.running) run();
      return TRUE;
    case WM_DRAWITEM:
      if (wParam == IDC_XFER_BAR) drawBar(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_XFER_BUTTON || LOWORD(wParam) == IDCANCEL) pressed();
      // Enter presses the button once it reads "OK"; it never cancels.
      else if (LOWORD(wParam) == IDOK && x.done) pressed();
      return TRUE;
    case WM_CLOSE:
      pressed();
      return TRUE;
    default:
      return FALSE;
  }
}

bool hookTransferOpen(int kind, const char* name) {
  const bool fresh = x.dialog == nullptr;
  if (fresh) {
    HWND d = CreateDialogParamA(GetModuleHandleA(nullptr), "XFRDLG", ftpWin.main, FtpXferDlgFunc, 0);
    if (!d) return false;
    x.dialog = d;
    hideErrorLines(d);
    centerOverOwner(d);
    enableOwners(false);
    pumpSetDialog(d);
    ShowWindow(d, SW_SHOW);
  }
  x.kind = kind;
  x.done = false;
  x.last = FtpProgress{};
  x.last.percent = -1;
  SetWindowTextA(x.dialog, kind == KIND_PUT ? "Sending File" : "Receiving");
  text(IDC_XFER_PROTOCOL, "FTP");
  std::string path = name ? name : "";
  text(IDC_XFER_FILENAME, path.substr(path.find_last_of(":\\/") + 1).c_str());
  text(IDC_XFER_FILESIZE, "");
  text(IDC_XFER_BUTTON, "Cancel");
  EnableWindow(GetDlgItem(x.dialog, IDC_XFER_BUTTON), TRUE);
  draw();
  // A batch upload sends its next files from inside the running transfer.
  if (fresh || !ftp.batch) PostMessageA(x.dialog, kStart, 0, 0);
  return true;
}

void hookTransferSize(const char* size) { text(IDC_XFER_FILESIZE, size); }

void hookTransferStatus(const char* status) {
  if (!x.dialog) return;
  text(IDC_XFER_STATUS, status);
  draw();
}

void hookProgress(const FtpProgress& progress) {
  x.last = progress;
  if (x.dialog && GetTickCount() - x.lastDraw >= kDrawEveryMs) draw();
}

void hookOpenFile(const char* path) { ftpShellOpen(path); }
}  // namespace

void ftpXferInstallHooks() {
  ftpHooks.transferOpen = hookTransferOpen;
  ftpHooks.transferSize = hookTransferSize;
  ftpHooks.transferStatus = hookTransferStatus;
  ftpHooks.progress = hookProgress;
  ftpHooks.openFile = hookOpenFile;
}

void ftpXferDestroy() {
  if (!x.dialog) return;
  if (x.running) x.destroyPending = true;
  else destroyNow();
}

HWND ftpTransferDialog() { return x.dialog; }
