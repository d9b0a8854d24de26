// ftp_window_win32 MODE PORT DIR NAME: logs in to 127.0.0.1:PORT as the test
// login (password on the command line's fifth word), opens the FTP window and
// does one thing through it as a user would:
//   download: lists DIR, selects NAME, "<- Receive", until the dialog's "OK";
//   upload:   selects NAME of the current local directory, "Send->", until "OK";
//   list:     DIR chosen in the remote path box: CWD and LIST, until the
//             remote view holds all entries, drawn.
// Prints two times in milliseconds, the operation alone (from the click to
// its end) and the whole session (from before the connect, with the login
// and the window's opening), and the remote view's item count.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ftp/ftp_session.h"
#include "ftp/ftp_window_ids.h"
#include "ftp/ftp_window_win32.h"
#include "shell/pump.h"
#include "transfer/transfer_dialog_ids.h"

namespace {
void pumpUntil(bool (*done)()) {
  while (!done())
    if (pumpOne() == 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
}

HWND control(int id) { return GetDlgItem(ftpWindowHandle(), id); }

bool transferOver() {
  char text[16] = "";
  if (HWND d = ftpTransferDialog()) GetDlgItemTextA(d, IDC_XFER_BUTTON, text, sizeof text);
  return std::string(text) == "OK";
}

int find(int listId, const char* name) {
  LVFINDINFOA find{};
  find.flags = LVFI_STRING;
  find.psz = name;
  return static_cast<int>(SendMessageA(control(listId), LVM_FINDITEMA, static_cast<WPARAM>(-1), (LPARAM)&find));
}

DWORD clicked = 0;

void transfer(int listId, int button, const char* name) {
  int i = find(listId, name);
  if (i < 0) {
    std::fprintf(stderr, "%s is not listed\n", name);
    std::exit(1);
  }
  ListView_SetItemState(control(listId), i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  clicked = GetTickCount();
  SendMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)control(button));
  if (!ftpTransferDialog()) {
    std::fprintf(stderr, "no transfer started\n");
    std::exit(1);
  }
  pumpUntil(transferOver);
  PostMessageA(ftpTransferDialog(), WM_COMMAND, IDC_XFER_BUTTON, 0);
  pumpUntil([] { return ftpTransferDialog() == nullptr && !ftp.busy; });
}

void noText(const char*, int) {}
void showMessage(const char* text, const char* title) { std::fprintf(stderr, "%s: %s\n", title, text); }
}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: ftp_window_win32 download|upload|list PORT DIR NAME PASSWORD\n");
    return 2;
  }
  const std::string mode = argv[1], dir = argv[3], name = argv[4];
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "FtpBenchMain";
  RegisterClassA(&wc);
  HWND main = CreateWindowA("FtpBenchMain", "FTP bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 600, nullptr,
                            nullptr, wc.hInstance, nullptr);
  ftpSockStartup();
  ftpSessionReset();
  ftpResetHooks();
  ftpHooks.writeSession = noText;
  ftpHooks.message = showMessage;
  ftpWindowInstallHooks(main);
  ftp.localDir = ".";
  ftp.binary = true;
  ftp.passive = true;
  ftp.hideListing = true;

  DWORD start = GetTickCount();
  if (ftpConnect("127.0.0.1", std::atoi(argv[2]), 10000) != 0) return 1;
  FtpLoginInfo login;
  login.user = "peertest";
  login.password = argv[5];
  login.fixedSystemType = 1;
  if (FtpLogin(login) != 0) return 1;
  RECT area;
  GetClientRect(main, &area);
  if (ftpWindowOpen(main, area) != 0) return 1;
  if (mode == "list") {
    clicked = GetTickCount();
    HWND box = control(IDC_FTP_REMOTE_PATH);
    SendMessageA(box, CB_SETCURSEL, SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)dir.c_str()), 0);
    SendMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(IDC_FTP_REMOTE_PATH, CBN_SELCHANGE), (LPARAM)box);
    UpdateWindow(control(IDC_FTP_REMOTE_LIST));
  } else {
    HWND box = control(IDC_FTP_REMOTE_PATH);
    SendMessageA(box, CB_SETCURSEL, SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)dir.c_str()), 0);
    SendMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(IDC_FTP_REMOTE_PATH, CBN_SELCHANGE), (LPARAM)box);
    if (mode == "download") transfer(IDC_FTP_REMOTE_LIST, IDC_FTP_RECEIVE, name.c_str());
    else transfer(IDC_FTP_LOCAL_LIST, IDC_FTP_SEND, name.c_str());
  }
  DWORD end = GetTickCount();
  int items = static_cast<int>(SendMessageA(control(IDC_FTP_REMOTE_LIST), LVM_GETITEMCOUNT, 0, 0));
  std::printf("%lu %lu %d\n", static_cast<unsigned long>(end - clicked), static_cast<unsigned long>(end - start), items);
  ftpWindowClose();
  ftpDisconnect();
  return 0;
}
