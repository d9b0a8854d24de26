// The FTP window's own state, shared by its files: the window, its two list
// views and what they show, the walk of a multi-file download and the drag.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ftp/ftp_selection.h"
#include "ftp/listing.h"
#include "ftp/local_view.h"

struct FtpWindowState {
  HWND main = nullptr;
  HWND window = nullptr;
  HWND localList = nullptr, remoteList = nullptr;
  HIMAGELIST remoteImages = nullptr;
  std::string localDir;
  std::vector<LocalItem> local;
  std::vector<int> localIcons;  // the shell's icon per local item, -1 until asked
  ListingState remote;
  DownloadWalk walk;
  bool nextPending = false;  // a download of the walk ended: start the next
  // Drag between the panes.
  HWND dragFrom = nullptr;
  HIMAGELIST dragImage = nullptr;
};
extern FtpWindowState ftpWin;

// Views (ftp_window_views_win32.cpp).
void ftpViewsCreate();
void ftpViewsDestroy();
// Reads the local directory into the local view (and the path box).
void ftpLocalRefresh();
// Changes the local directory; false when it cannot be entered.
bool ftpLocalEnter(const std::string& dir);
// Shows ftpWin.remote in the remote view (empty after a clear).
void ftpRemoteShow();
void ftpRemoteClear();
// The selected items of a list view, in view order.
std::vector<int> ftpSelectedItems(HWND list);
// The current item of a list view when it is selected, else -1.
int ftpCurrentItem(HWND list);
// Adds path to a path combo box (or selects it when it is there).
void ftpPathHistory(int comboId, const std::string& path);
// The list view's notifications; the result of WM_NOTIFY.
LRESULT ftpViewsNotify(NMHDR* header);

// Operations (ftp_window_ops_win32.cpp): one per button and menu command.
void ftpWindowCommand(int id);
// A double click: a drive, "..", a directory entered; a remote item is
// the argument of CWD.
void ftpLocalActivate(int item);
void ftpRemoteActivate(int item);
// The next file of the download walk; false when none is left.
bool ftpWindowNextDownload();
// Opens a file with the shell's "open" verb, with the warning when nothing
// is associated with its type.
void ftpShellOpen(const std::string& path);
// The remote view listed again, with "Close" reading "Abort" meanwhile.
int ftpRemoteRefresh(const char* cwd);
// The right-click menu of a list view at a screen point.
void ftpContextMenu(HWND list, POINT at);
// Drag and drop between the panes.
void ftpDragBegin(HWND list, int item, POINT at);
void ftpDragMove(POINT screen);
void ftpDragEnd(POINT screen);

// The transfer dialog (ftp_xfer_dialog_win32.cpp).
void ftpXferInstallHooks();
void ftpXferDestroy();
