// The FTP window: creation over the main window's session area, the layout
// that follows its size, the engine hooks it answers and the dialog procedure
// that hands commands and list notifications to the other window files.
#include "ftp/ftp_window_win32.h"

#include <windows.h>
#include <commctrl.h>

#include "ftp/ftp_session.h"
#include "ftp/ftp_window_ids.h"
#include "ftp/ftp_window_state_win32.h"
#include "ftp/system_type.h"
#include "shell/program_dir.h"
#include "shell/pump_win32.h"

FtpWindowState ftpWin;

namespace {
void place(int id, int x, int y, int w, int h) {
  if (HWND c = GetDlgItem(ftpWin.window, id)) MoveWindow(c, x, y, w > 0 ? w : 1, h > 0 ? h : 1, FALSE);
}

// Two panes with a column of shared controls between them; each pane has its
// path box on top and its six buttons below, in two rows of three where one
// row would cut their labels.
void layout(int width, int height) {
  const int margin = 4, middle = 100, rowH = 24, buttonH = 22, comboH = 200, buttonMin = 72;
  int pane = (width - middle - 4 * margin) / 2;
  if (pane < 60) pane = 60;
  const int perRow = pane / 6 >= buttonMin ? 6 : 3, rows = 6 / perRow;
  const int listTop = margin + 26;
  const int listH = height - listTop - rows * (buttonH + 2) - 2 * margin;
  const int left = margin, right = left + pane + margin * 2 + middle;
  const int mid = left + pane + margin;
  place(IDC_FTP_LOCAL_PATH, left, margin, pane, comboH);
  place(IDC_FTP_REMOTE_PATH, right, margin, pane, comboH);
  place(IDC_FTP_LOCAL_LIST, left, listTop, pane, listH);
  place(IDC_FTP_REMOTE_LIST, right, listTop, pane, listH);
  static const int localButtons[] = {IDC_FTP_LOCAL_DIR,    IDC_FTP_LOCAL_UP,        IDC_FTP_LOCAL_VIEW,
                                     IDC_FTP_LOCAL_DELETE, IDC_FTP_LOCAL_NEWFOLDER, IDC_FTP_LOCAL_RENAME};
  static const int remoteButtons[] = {IDC_FTP_REMOTE_DIR,    IDC_FTP_REMOTE_UP,        IDC_FTP_REMOTE_VIEW,
                                      IDC_FTP_REMOTE_DELETE, IDC_FTP_REMOTE_NEWFOLDER, IDC_FTP_REMOTE_RENAME};
  const int y = listTop + listH + margin, each = pane / perRow;
  for (int i = 0; i < 6; ++i) {
    int column = i % perRow, row = i / perRow;
    int w = column == perRow - 1 ? pane - column * each : each - 2;
    int top = y + row * (buttonH + 2);
    place(localButtons[i], left + column * each, top, w, buttonH);
    place(remoteButtons[i], right + column * each, top, w, buttonH);
  }
  int my = listTop + 10;
  place(IDC_FTP_RECEIVE, mid, my, middle, rowH);
  place(IDC_FTP_SEND, mid, my += rowH + 4, middle, rowH);
  place(IDC_FTP_BINARY, mid + 4, my += rowH + 10, middle - 4, 18);
  place(IDC_FTP_RECOVER, mid + 4, my += 20, middle - 4, 18);
  place(IDC_FTP_SYSTEM, mid, my += 24, middle, comboH);
  const int bottom = y + (rows - 1) * (buttonH + 2);
  place(IDC_FTP_CLOSE, mid, bottom - rowH - 4, middle, rowH);
  place(IDC_FTP_HELP, mid, bottom, middle, buttonH);
  // The controls moved without drawing: all of them are drawn once now.
  RedrawWindow(ftpWin.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void showSettings() {
  CheckDlgButton(ftpWin.window, IDC_FTP_BINARY, ftp.binary ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(ftpWin.window, IDC_FTP_RECOVER, ftp.recover ? BST_CHECKED : BST_UNCHECKED);
  HWND box = GetDlgItem(ftpWin.window, IDC_FTP_SYSTEM);
  int fixed = ftp.fixedSystemType >= SYSTEM_UNIX && ftp.fixedSystemType <= SYSTEM_MVS ? ftp.fixedSystemType : 0;
  SendMessageA(box, CB_SETCURSEL, fixed, 0);
}

void fillSystemBox() {
  HWND box = GetDlgItem(ftpWin.window, IDC_FTP_SYSTEM);
  for (int t = SYSTEM_AUTODETECT; t <= SYSTEM_MVS; ++t) SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)systemTypeName(t));
}

INT_PTR CALLBACK FTPDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;
    case WM_SIZE:
      layout(LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_COMMAND:
      if (lParam == 0 || HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == CBN_SELCHANGE) {
        const int id = LOWORD(wParam);
        // Combo boxes report only a changed choice; buttons their click.
        if ((id == IDC_FTP_LOCAL_PATH || id == IDC_FTP_REMOTE_PATH || id == IDC_FTP_SYSTEM) &&
            HIWORD(wParam) != CBN_SELCHANGE)
          return TRUE;
        ftpWindowCommand(id);
      }
      return TRUE;
    case WM_NOTIFY:
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, ftpViewsNotify(reinterpret_cast<NMHDR*>(lParam)));
      return TRUE;
    case WM_CONTEXTMENU: {
      HWND from = reinterpret_cast<HWND>(wParam);
      if (from == ftpWin.localList || from == ftpWin.remoteList) {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ftpContextMenu(from, at);
      }
      return TRUE;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      if (ftpWin.dragFrom) {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(dialog, &at);
        if (message == WM_MOUSEMOVE) ftpDragMove(at);
        else ftpDragEnd(at);
      }
      return TRUE;
    case WM_CAPTURECHANGED:
      if (ftpWin.dragFrom && reinterpret_cast<HWND>(lParam) != dialog) {
        POINT nowhere{-1, -1};
        ftpDragEnd(nowhere);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

// Engine hooks that belong to the window.
bool hookWindowOpen() { return ftpWin.window != nullptr; }
void hookListingStart(int systemType) {
  ftpRemoteClear();
  listingReset(ftpWin.remote, systemType);
}
void hookListingBytes(const uint8_t* bytes, int length) { AddListingBytes(ftpWin.remote, bytes, length); }
void hookListingDone() {
  BuildRemoteView(ftpWin.remote);
  ftpRemoteShow();
}
void hookRemotePath(const char* path) {
  if (ftpWin.window) ftpPathHistory(IDC_FTP_REMOTE_PATH, path);
}
// After a login the session's flags may have come from its entry: the
// boxes show them with the first listing.
void hookRefreshRemote() {
  if (!ftpWin.window) return;
  showSettings();
  ftpRemoteRefresh(nullptr);
}
void hookNextDownload() { ftpWin.nextPending = true; }
}  // namespace

void ftpWindowInstallHooks(HWND mainWindow) {
  ftpWin.main = mainWindow;
  ftpHooks.windowOpen = hookWindowOpen;
  ftpHooks.listingStart = hookListingStart;
  ftpHooks.listingBytes = hookListingBytes;
  ftpHooks.listingDone = hookListingDone;
  ftpHooks.remotePathChanged = hookRemotePath;
  ftpHooks.refreshRemote = hookRefreshRemote;
  ftpHooks.nextDownload = hookNextDownload;
  ftpXferInstallHooks();
}

int ftpWindowOpen(HWND mainWindow, RECT area) {
  if (ftpWin.window) return 0;
  ftpWin.main = mainWindow;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  HWND w = CreateDialogParamA(GetModuleHandleA(nullptr), "FTP", mainWindow, FTPDlgFunc, 0);
  if (!w) return -1;
  ftpWin.window = w;
  ftpWin.localList = GetDlgItem(w, IDC_FTP_LOCAL_LIST);
  ftpWin.remoteList = GetDlgItem(w, IDC_FTP_REMOTE_LIST);
  fillSystemBox();
  showSettings();
  ftpViewsCreate();
  MoveWindow(w, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
  // The local side starts in the program's directory, which becomes the
  // process's current one (downloads "to the current directory" land there).
  if (!ftpLocalEnter(programDir())) {
    char dir[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof dir, dir);
    ftpWin.localDir = dir;
    ftpLocalRefresh();
  }
  ftpPathHistory(IDC_FTP_REMOTE_PATH, ftp.connected ? ftp.remotePath : "/");
  ShowWindow(w, SW_SHOW);
  pumpSetDialog(w);
  if (ftp.connected && !ftp.busy) QueryRemoteSystem();
  return 0;
}

void ftpWindowClose() {
  if (!ftpWin.window) return;
  // A listing still running is told to stop; its loop ends on the next turn.
  if (ftp.listingRunning) ftp.abortRequest = true;
  HWND w = ftpWin.window;
  ftpWin.window = nullptr;
  ftpViewsDestroy();
  DestroyWindow(w);
  ftpWin.localList = ftpWin.remoteList = nullptr;
  ftpWin.walk = DownloadWalk();
  pumpSetDialog(ftpTransferDialog());
}

HWND ftpWindowHandle() { return ftpWin.window; }

void ftpWindowConnected() {
  if (!ftpWin.window) return;
  ftpPathHistory(IDC_FTP_REMOTE_PATH, ftp.remotePath);
  showSettings();
}

void ftpWindowSettingsChanged() {
  if (ftpWin.window) showSettings();
}

void ftpWindowDisconnected() {
  ftpXferDestroy();
  ftpWin.walk = DownloadWalk();
  ftpWin.nextPending = false;
  if (!ftpWin.window) return;
  ftpRemoteClear();
  SendDlgItemMessageA(ftpWin.window, IDC_FTP_REMOTE_PATH, CB_RESETCONTENT, 0, 0);
  SetDlgItemTextA(ftpWin.window, IDC_FTP_CLOSE, "Close");
}

void ftpWindowResize(RECT area) {
  if (ftpWin.window)
    MoveWindow(ftpWin.window, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}
