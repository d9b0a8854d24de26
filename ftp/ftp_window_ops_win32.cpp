// The FTP window's operations: the buttons of both sides, the right-click
// menus, the name dialogs and drag and drop between the panes.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "ftp/ftp_help.h"
#include "ftp/ftp_session.h"
#include "ftp/ftp_window_ids.h"
#include "ftp/ftp_window_state_win32.h"
#include "ftp/ftp_window_win32.h"
#include "ftp/system_type.h"
#include "shell/help_win32.h"
#include "terminal/link.h"

namespace {
constexpr const char* kNoAssociation = "No executable is associated with this file type";

void beep() { MessageBeep(0); }

// Busy or offline: remote operations beep instead of acting.
bool remoteRefused() {
  if (ftp.busy || !ftp.connected) {
    beep();
    return true;
  }
  return false;
}

bool askDelete() {
  return MessageBoxA(ftpWin.window, FTP_TEXT_DELETE_QUESTION, "Message", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

INT_PTR CALLBACK NameDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      auto* name = reinterpret_cast<std::string*>(lParam);
      SendDlgItemMessageA(dialog, IDC_FTP_NAME_EDIT, EM_LIMITTEXT, 1023, 0);
      SetDlgItemTextA(dialog, IDC_FTP_NAME_EDIT, name->c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        char text[1024] = "";
        GetDlgItemTextA(dialog, IDC_FTP_NAME_EDIT, text, sizeof text);
        if (!text[0]) {
          beep();
          return TRUE;
        }
        *reinterpret_cast<std::string*>(GetWindowLongPtrA(dialog, DWLP_USER)) = text;
        EndDialog(dialog, IDOK);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

// RENAMEDIALOG or NEWFOLDER; false on Cancel.
bool askName(const char* dialog, std::string* name) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), dialog, ftpWin.window, NameDlgFunc,
                         reinterpret_cast<LPARAM>(name)) == IDOK;
}

void startDownload(bool open) {
  if (remoteRefused()) return;
  ftpWin.walk = DownloadWalk();
  ftpWin.walk.selected = ftpSelectedItems(ftpWin.remoteList);
  ftp.openAfterDownload = open;
  ftpWindowNextDownload();
}

void startUpload() {
  if (remoteRefused()) return;
  std::vector<std::string> paths = uploadCollect(ftpWin.localDir, ftpWin.local, ftpSelectedItems(ftpWin.localList));
  SetCurrentDirectoryA(ftpWin.localDir.c_str());
  if (ftpUploadBatch(paths) < 0) ftp.busy = false;
}

void remoteDelete() {
  if (remoteRefused()) return;
  std::vector<int> selected = ftpSelectedItems(ftpWin.remoteList);
  if (selected.empty()) return;
  ftp.busy = true;
  bool yes = askDelete();
  ftp.busy = false;
  if (!yes) return;
  ftp.busy = true;
  int r = ftpRemoteDelete(ftpWin.remote, selected);
  ftp.busy = false;
  if (r != LINK_LOST) ftpRemoteRefresh(nullptr);
}

void remoteRename() {
  if (remoteRefused()) return;
  int item = ftpCurrentItem(ftpWin.remoteList);
  if (item < 0) return;
  std::string from = ftpWin.remote.view[static_cast<size_t>(item)].name, to = from;
  if (!askName("RENAMEDIALOG", &to)) return;
  ftp.busy = true;
  int r = ftpRemoteRename(from, to);
  ftp.busy = false;
  if (r != LINK_LOST) ftpRemoteRefresh(nullptr);
}

void remoteNewFolder() {
  if (remoteRefused()) return;
  std::string name;
  if (!askName("NEWFOLDER", &name)) return;
  ftp.busy = true;
  int r = ftpRemoteMkdir(name);
  ftp.busy = false;
  if (r != LINK_LOST) ftpRemoteRefresh(nullptr);
}

void remoteDirectory() {
  if (remoteRefused()) return;
  int item = ftpCurrentItem(ftpWin.remoteList);
  if (item >= 0) ftpRemoteRefresh(ftpWin.remote.view[static_cast<size_t>(item)].name.c_str());
}

void remotePathChosen() {
  if (remoteRefused()) return;
  char path[1024] = "";
  HWND box = GetDlgItem(ftpWin.window, IDC_FTP_REMOTE_PATH);
  int at = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
  if (at < 0 || SendMessageA(box, CB_GETLBTEXTLEN, at, 0) >= static_cast<LRESULT>(sizeof path)) return;
  SendMessageA(box, CB_GETLBTEXT, at, (LPARAM)path);
  ftpRemoteRefresh(path);
}

void systemChosen() {
  int type = static_cast<int>(SendDlgItemMessageA(ftpWin.window, IDC_FTP_SYSTEM, CB_GETCURSEL, 0, 0));
  if (type < 0 || remoteRefused()) return;
  ftp.fixedSystemType = type;
  if (type == SYSTEM_AUTODETECT) {
    QueryRemoteSystem();
  } else {
    ftp.systemType = type;
    ftpRemoteRefresh(nullptr);
  }
}

bool localBusy() {
  if (ftp.busy) beep();
  return ftp.busy;
}

void localView() {
  if (localBusy()) return;
  for (int i : ftpSelectedItems(ftpWin.localList))
    if (ftpWin.local[static_cast<size_t>(i)].kind == LOCAL_FILE)
      ftpShellOpen(localJoin(ftpWin.localDir, ftpWin.local[static_cast<size_t>(i)].name));
}

void localDelete() {
  if (localBusy()) return;
  std::vector<int> selected = ftpSelectedItems(ftpWin.localList);
  if (selected.empty() || !askDelete()) return;
  for (int i : selected) {
    const LocalItem& item = ftpWin.local[static_cast<size_t>(i)];
    std::string path = localJoin(ftpWin.localDir, item.name);
    // Directories go only when empty; drives and ".." are left alone.
    if (item.kind == LOCAL_DIRECTORY && item.name != "..") RemoveDirectoryA(path.c_str());
    else if (item.kind == LOCAL_FILE) DeleteFileA(path.c_str());
  }
  ftpLocalRefresh();
}

void localNewFolder() {
  std::string name;
  if (!askName("NEWFOLDER", &name)) return;
  CreateDirectoryA(localJoin(ftpWin.localDir, name).c_str(), nullptr);
  ftpLocalRefresh();
}

void localRename() {
  int item = ftpCurrentItem(ftpWin.localList);
  if (item < 0 || ftpWin.local[static_cast<size_t>(item)].kind == LOCAL_DRIVE) return;
  std::string from = ftpWin.local[static_cast<size_t>(item)].name, to = from;
  if (from == ".." || !askName("RENAMEDIALOG", &to)) return;
  MoveFileA(localJoin(ftpWin.localDir, from).c_str(), localJoin(ftpWin.localDir, to).c_str());
  ftpLocalRefresh();
}

void localPathChosen() {
  char path[MAX_PATH] = "";
  HWND box = GetDlgItem(ftpWin.window, IDC_FTP_LOCAL_PATH);
  int at = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
  if (at < 0 || SendMessageA(box, CB_GETLBTEXTLEN, at, 0) >= static_cast<LRESULT>(sizeof path)) return;
  SendMessageA(box, CB_GETLBTEXT, at, (LPARAM)path);
  if (!ftpLocalEnter(path)) beep();
}

void closeOrAbort() {
  if (ftp.listingRunning) {
    ftp.abortRequest = true;
    return;
  }
  if (ftp.busy) beep();
  else ftpWindowClose();
}
}  // namespace

void ftpShellOpen(const std::string& path) {
  HINSTANCE r = ShellExecuteA(ftpWin.main, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(r) <= 32)
    MessageBoxA(nullptr, kNoAssociation, "Warning", MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

bool ftpWindowNextDownload() {
  ftpWin.nextPending = false;
  if (!ftp.connected) return false;
  ftp.busy = true;
  int result = 0;
  int started = ftpDownloadNext(ftpWin.remote, ftpWin.walk, &result);
  if (started < 0) ftp.busy = false;
  return started >= 0;
}

int ftpRemoteRefresh(const char* cwd) {
  if (!ftp.connected) return -1;
  HCURSOR was = SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
  if (ftpWin.window) SetDlgItemTextA(ftpWin.window, IDC_FTP_CLOSE, "Abort");
  int r = ftpRefreshRemote(cwd);
  if (ftpWin.window) SetDlgItemTextA(ftpWin.window, IDC_FTP_CLOSE, "Close");
  SetCursor(was);
  return r;
}

void ftpLocalActivate(int index) {
  if (index < 0 || index >= static_cast<int>(ftpWin.local.size()) || localBusy()) return;
  const LocalItem& item = ftpWin.local[static_cast<size_t>(index)];
  bool ok = true;
  if (item.kind == LOCAL_DRIVE) ok = ftpLocalEnter(item.name);
  else if (item.name == "..") ok = ftpLocalEnter(localParent(ftpWin.localDir));
  else if (item.kind == LOCAL_DIRECTORY) ok = ftpLocalEnter(localJoin(ftpWin.localDir, item.name));
  if (!ok) beep();
}

void ftpRemoteActivate(int index) {
  if (index < 0 || index >= static_cast<int>(ftpWin.remote.view.size()) || remoteRefused()) return;
  std::string name = ftpWin.remote.view[static_cast<size_t>(index)].name;
  ftpRemoteRefresh(name.c_str());
}

void ftpWindowCommand(int id) {
  switch (id) {
    case IDC_FTP_LOCAL_PATH: localPathChosen(); break;
    case IDC_FTP_LOCAL_DIR: {
      int item = ftpCurrentItem(ftpWin.localList);
      if (item >= 0 && ftpWin.local[static_cast<size_t>(item)].kind != LOCAL_FILE) ftpLocalActivate(item);
      break;
    }
    case IDC_FTP_LOCAL_UP:
      if (!localBusy() && !ftpLocalEnter(localParent(ftpWin.localDir))) beep();
      break;
    case IDC_FTP_SEND: startUpload(); break;
    case IDC_FTP_LOCAL_VIEW: localView(); break;
    case IDC_FTP_LOCAL_DELETE: localDelete(); break;
    case IDC_FTP_LOCAL_NEWFOLDER: localNewFolder(); break;
    case IDC_FTP_LOCAL_RENAME: localRename(); break;
    case IDC_FTP_REMOTE_PATH: remotePathChosen(); break;
    case IDC_FTP_REMOTE_DIR: remoteDirectory(); break;
    case IDC_FTP_REMOTE_UP:
      if (!remoteRefused()) ftpRemoteRefresh("..");
      break;
    case IDC_FTP_RECEIVE: startDownload(false); break;
    case IDC_FTP_REMOTE_VIEW: startDownload(true); break;
    case IDC_FTP_REMOTE_DELETE: remoteDelete(); break;
    case IDC_FTP_REMOTE_NEWFOLDER: remoteNewFolder(); break;
    case IDC_FTP_REMOTE_RENAME: remoteRename(); break;
    case IDC_FTP_NEXT_DOWNLOAD: ftpWindowNextDownload(); break;
    case IDC_FTP_BINARY: ftp.binary = IsDlgButtonChecked(ftpWin.window, IDC_FTP_BINARY) == BST_CHECKED; break;
    case IDC_FTP_RECOVER: ftp.recover = IsDlgButtonChecked(ftpWin.window, IDC_FTP_RECOVER) == BST_CHECKED; break;
    case IDC_FTP_SYSTEM: systemChosen(); break;
    case IDC_FTP_CLOSE: closeOrAbort(); break;
    case IDC_FTP_HELP: helpShowTopic(ftpWin.window, HELP_FTP_WINDOW); break;
    default: break;
  }
}

void ftpContextMenu(HWND list, POINT at) {
  const bool remote = list == ftpWin.remoteList;
  struct Item {
    const char* text;
    int local, remote;
  };
  static const Item kItems[] = {
      {"Directory", IDC_FTP_LOCAL_DIR, IDC_FTP_REMOTE_DIR},
      {"New Folder", IDC_FTP_LOCAL_NEWFOLDER, IDC_FTP_REMOTE_NEWFOLDER},
      {"Delete", IDC_FTP_LOCAL_DELETE, IDC_FTP_REMOTE_DELETE},
      {"Rename", IDC_FTP_LOCAL_RENAME, IDC_FTP_REMOTE_RENAME},
      {nullptr, IDC_FTP_SEND, IDC_FTP_RECEIVE},
      {"View", IDC_FTP_LOCAL_VIEW, IDC_FTP_REMOTE_VIEW},
  };
  HMENU menu = CreatePopupMenu();
  for (const Item& item : kItems)
    AppendMenuA(menu, MF_STRING, remote ? item.remote : item.local,
                item.text ? item.text : remote ? "Receive" : "Send");
  if (at.x == -1 && at.y == -1) {
    at = POINT{0, 0};
    ClientToScreen(list, &at);
  }
  int id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, ftpWin.window, nullptr);
  DestroyMenu(menu);
  if (id) ftpWindowCommand(id);
}

void ftpDragBegin(HWND list, int item, POINT at) {
  if (item < 0 || ftpWin.dragFrom) return;
  POINT origin{};
  HIMAGELIST image = ListView_CreateDragImage(list, item, &origin);
  ftpWin.dragFrom = list;
  ftpWin.dragImage = image;
  POINT client = at;
  MapWindowPoints(list, ftpWin.window, &client, 1);
  if (image) {
    ImageList_BeginDrag(image, 0, at.x - origin.x, at.y - origin.y);
    ImageList_DragEnter(ftpWin.window, client.x, client.y);
  }
  SetCapture(ftpWin.window);
}

void ftpDragMove(POINT screen) {
  POINT client = screen;
  ScreenToClient(ftpWin.window, &client);
  if (ftpWin.dragImage) ImageList_DragMove(client.x, client.y);
}

void ftpDragEnd(POINT screen) {
  HWND from = ftpWin.dragFrom;
  if (!from) return;
  ftpWin.dragFrom = nullptr;
  if (ftpWin.dragImage) {
    ImageList_DragLeave(ftpWin.window);
    ImageList_EndDrag();
    ImageList_Destroy(ftpWin.dragImage);
    ftpWin.dragImage = nullptr;
  }
  ReleaseCapture();
  if (screen.x == -1 && screen.y == -1) return;
  HWND target = WindowFromPoint(screen);
  // The header of a list counts as the list.
  if (target && GetParent(target) != ftpWin.window) target = GetParent(target);
  if (from == ftpWin.remoteList && target == ftpWin.localList) startDownload(false);
  else if (from == ftpWin.localList && target == ftpWin.remoteList) startUpload();
}
