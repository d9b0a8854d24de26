// The FTP window under Wine over the real engine logged in to the vsftpd that
// tests/win32/run starts for it (the test login may write there), driven by
// the messages a user's clicks send: listing, directory changes, transfers
// both ways, rename, delete, new folder, the refusal of a directory in a
// download, and a broken download resumed with "Recover".
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <winsock.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ftp/ftp_session.h"
#include "ftp/ftp_window_ids.h"
#include "ftp/ftp_window_win32.h"
#include "screenshot.h"
#include "transfer/transfer_dialog_ids.h"
#include "win32_driver.h"

namespace {
std::string sessionText;
std::vector<std::string> messages;

std::string treeFile(const std::string& name) {
  return std::string(std::getenv("SUITE_TEST_FTPWIN_TREE_WIN")) + "\\" + name;
}

HWND control(int id) { return GetDlgItem(ftpWindowHandle(), id); }

std::vector<std::string> listNames(int listId) {
  HWND list = control(listId);
  std::vector<std::string> names;
  int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[300] = "";
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
    names.push_back(text);
  }
  return names;
}

int indexOf(int listId, const std::string& name) {
  std::vector<std::string> names = listNames(listId);
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  return -1;
}

// Selects exactly these names of a list, the first one also focused.
void select(int listId, const std::vector<std::string>& names) {
  HWND list = control(listId);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  bool first = true;
  for (const std::string& name : names) {
    int i = indexOf(listId, name);
    ASSERT_GE(i, 0) << name;
    ListView_SetItemState(list, i, LVIS_SELECTED | (first ? LVIS_FOCUSED : 0), LVIS_SELECTED | LVIS_FOCUSED);
    first = false;
  }
}

void click(int id) { PostMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)control(id)); }

std::string buttonText(HWND dialog, int id) {
  char text[32] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// Waits for the transfer dialog to read "OK", notes its status and presses it.
std::string finishTransfer(DWORD ms = 30000) {
  bool done = pumpUntil(
      [] { return ftpTransferDialog() && buttonText(ftpTransferDialog(), IDC_XFER_BUTTON) == "OK"; }, ms);
  if (!done) return "no end";
  std::string status = buttonText(ftpTransferDialog(), IDC_XFER_STATUS);
  PostMessageA(ftpTransferDialog(), WM_COMMAND, IDC_XFER_BUTTON, 0);
  pumpUntil([] { return !ftpTransferDialog() && !ftp.busy; }, 10000);
  return status;
}

bool listed(int listId, const std::string& name) {
  return pumpUntil([&] { return indexOf(listId, name) >= 0; }, 10000);
}

// Answers the next window titled title from a second thread, as a user would.
std::thread answer(const char* title, std::function<void(HWND)> act) {
  return std::thread([title, act] {
    if (HWND w = waitForWindow(title, 10000)) act(w);
  });
}

void typeName(HWND dialog, const char* name) {
  SetDlgItemTextA(dialog, IDC_FTP_NAME_EDIT, name);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void doubleClick(int listId, const std::string& name) {
  HWND list = control(listId);
  RECT r{};
  r.left = LVIR_LABEL;
  SendMessageA(list, LVM_GETITEMRECT, indexOf(listId, name), (LPARAM)&r);
  LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(list, WM_LBUTTONUP, 0, at);
  PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageA(list, WM_LBUTTONUP, 0, at);
}

struct Fixture {
  std::string local;
  RECT oldPlace{};
  Fixture() {
    GetWindowRect(mainWindow(), &oldPlace);
    MoveWindow(mainWindow(), 20, 20, 900, 560, TRUE);
    local = tempPath("ftpwin" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(local);
    std::filesystem::create_directories(local);
    SetCurrentDirectoryA(local.c_str());
    ftpSessionReset();
    ftpResetHooks();
    sessionText.clear();
    messages.clear();
    ftpHooks.writeSession = [](const char* b, int n) { sessionText.append(b, static_cast<size_t>(n)); };
    ftpHooks.message = [](const char* text, const char*) { messages.push_back(text); };
    ftpWindowInstallHooks(mainWindow());
    ftp.localDir = ".";
    ftp.binary = true;
  }
  ~Fixture() {
    ftpWindowClose();
    ftpDisconnect();
    SetCurrentDirectoryA(tempPath().c_str());
    MoveWindow(mainWindow(), oldPlace.left, oldPlace.top, oldPlace.right - oldPlace.left,
               oldPlace.bottom - oldPlace.top, TRUE);
  }
};
}  // namespace

TEST(Win32FtpWindow, BrowseTransferAndChangeTheRemoteTree) {
  const char* port = std::getenv("SUITE_TEST_FTPWIN_PORT");
  const char* tree = std::getenv("SUITE_TEST_FTPWIN_TREE");
  ASSERT_TRUE(port && tree) << "tests/win32/run starts the window's vsftpd";
  Fixture f;
  writeFile(f.local + "\\up load.bin", pseudoRandom(50000, 7));
  ASSERT_EQ(ftpConnect("127.0.0.1", std::atoi(port), 10000), 0);
  FtpLoginInfo login;
  login.user = "peertest";
  login.password = "peerpass";
  ASSERT_EQ(FtpLogin(login), 0) << sessionText;
  RECT area;
  GetClientRect(mainWindow(), &area);
  ASSERT_EQ(ftpWindowOpen(mainWindow(), area), 0);
  ASSERT_EQ(ftp.systemType, 1) << sessionText;

  // The tree's path chosen in the remote path box: CWD and the listing.
  HWND remotePath = control(IDC_FTP_REMOTE_PATH);
  SendMessageA(remotePath, CB_SETCURSEL, SendMessageA(remotePath, CB_ADDSTRING, 0, (LPARAM)tree), 0);
  PostMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(IDC_FTP_REMOTE_PATH, CBN_SELCHANGE), (LPARAM)remotePath);
  ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "big.bin")) << sessionText;
  EXPECT_EQ(listNames(IDC_FTP_REMOTE_LIST),
            (std::vector<std::string>{"pub", "sub", "big.bin", "old.txt", "one.bin", "readme.txt", "two.bin"}));
  // The local side: its directories first, its file, then the drives.
  std::vector<std::string> local = listNames(IDC_FTP_LOCAL_LIST);
  ASSERT_GE(local.size(), 3u);
  EXPECT_EQ(local[0], "..");
  EXPECT_EQ(local[1], "up load.bin");
  EXPECT_EQ(local[2], "A:\\");
  RedrawWindow(mainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  pumpUntil([] { return false; }, 300);
  saveScreenshot("ftp_window");

  // A double click enters a directory; "Dir Up" leaves it.
  doubleClick(IDC_FTP_REMOTE_LIST, "sub");
  ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "inner.txt")) << sessionText;
  EXPECT_NE(sessionText.find("CWD sub\r\n"), std::string::npos);
  click(IDC_FTP_REMOTE_UP);
  ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "two.bin")) << sessionText;

  // A directory and two files: the directory refused once, both files here.
  select(IDC_FTP_REMOTE_LIST, {"sub", "one.bin", "two.bin"});
  click(IDC_FTP_RECEIVE);
  EXPECT_EQ(finishTransfer(), "Done") << sessionText;
  EXPECT_EQ(messages, std::vector<std::string>{"Downloading of entire directory is not supported"});
  EXPECT_TRUE(readFile(f.local + "\\one.bin") == readFile(treeFile("one.bin")));
  EXPECT_TRUE(readFile(f.local + "\\two.bin") == readFile(treeFile("two.bin")));
  EXPECT_TRUE(listed(IDC_FTP_LOCAL_LIST, "two.bin")) << "the local view is listed again";

  // Upload through "Send->", byte-identical, and the remote view shows it.
  select(IDC_FTP_LOCAL_LIST, {"up load.bin"});
  click(IDC_FTP_SEND);
  EXPECT_EQ(finishTransfer(), "Done") << sessionText;
  EXPECT_TRUE(readFile(treeFile("up load.bin")) == pseudoRandom(50000, 7));
  EXPECT_TRUE(listed(IDC_FTP_REMOTE_LIST, "up load.bin"));

  // Rename, delete (answered Yes) and a new folder, each listed again.
  select(IDC_FTP_REMOTE_LIST, {"readme.txt"});
  std::thread renamer = answer("Rename", [](HWND d) { typeName(d, "renamed.txt"); });
  click(IDC_FTP_REMOTE_RENAME);
  EXPECT_TRUE(listed(IDC_FTP_REMOTE_LIST, "renamed.txt")) << sessionText;
  renamer.join();
  select(IDC_FTP_REMOTE_LIST, {"old.txt"});
  std::thread yes = answer("Message", [](HWND box) { PostMessageA(box, WM_COMMAND, IDYES, 0); });
  click(IDC_FTP_REMOTE_DELETE);
  EXPECT_TRUE(pumpUntil([] { return indexOf(IDC_FTP_REMOTE_LIST, "old.txt") < 0; }, 10000)) << sessionText;
  yes.join();
  std::thread folder = answer("New Folder", [](HWND d) { typeName(d, "made"); });
  click(IDC_FTP_REMOTE_NEWFOLDER);
  EXPECT_TRUE(listed(IDC_FTP_REMOTE_LIST, "made")) << sessionText;
  folder.join();
  EXPECT_EQ(indexOf(IDC_FTP_REMOTE_LIST, "made"), 0) << "directories come first";
  EXPECT_TRUE(std::filesystem::exists(treeFile("renamed.txt")));
  EXPECT_FALSE(std::filesystem::exists(treeFile("readme.txt")));
  EXPECT_FALSE(std::filesystem::exists(treeFile("old.txt")));
  EXPECT_TRUE(std::filesystem::is_directory(treeFile("made")));
  for (const char* command : {"RNFR readme.txt\r\n", "RNTO renamed.txt\r\n", "DELE old.txt\r\n", "MKD made\r\n"})
    EXPECT_NE(sessionText.find(command), std::string::npos) << command;
}

// The data connection breaks in the middle of a download: the whole blocks
// stay; "Recover" then sends REST with their size and completes the file.
TEST(Win32FtpWindow, BrokenDownloadKeepsWholeBlocksAndRecoverResumes) {
  const char* port = std::getenv("SUITE_TEST_FTPWIN_PORT");
  const char* tree = std::getenv("SUITE_TEST_FTPWIN_TREE");
  ASSERT_TRUE(port && tree) << "tests/win32/run starts the window's vsftpd";
  Fixture f;
  ASSERT_EQ(ftpConnect("127.0.0.1", std::atoi(port), 10000), 0);
  FtpLoginInfo login;
  login.user = "peertest";
  login.password = "peerpass";
  ASSERT_EQ(FtpLogin(login), 0) << sessionText;
  RECT area;
  GetClientRect(mainWindow(), &area);
  ASSERT_EQ(ftpWindowOpen(mainWindow(), area), 0);
  HWND remotePath = control(IDC_FTP_REMOTE_PATH);
  SendMessageA(remotePath, CB_SETCURSEL, SendMessageA(remotePath, CB_ADDSTRING, 0, (LPARAM)tree), 0);
  PostMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(IDC_FTP_REMOTE_PATH, CBN_SELCHANGE), (LPARAM)remotePath);
  ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "big.bin")) << sessionText;

  // The window's progress hook runs as before; past 1 MB the data socket is
  // pulled from under the transfer once, and a picture taken.
  static void (*shown)(const FtpProgress&) = ftpHooks.progress;
  static bool broken = false;
  broken = false;
  ftpHooks.progress = [](const FtpProgress& p) {
    shown(p);
    if (!broken && p.offset >= 1000000 + 3 * FTP_BLOCK) {
      broken = true;
      RedrawWindow(mainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      RedrawWindow(ftpTransferDialog(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      // Wine hands what was drawn to the X server while the thread looks at
      // its queue; nothing is taken from it here.
      MSG peek;
      for (int i = 0; i < 15; ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE);
      }
      saveScreenshot("ftp_transfer");
      closesocket(static_cast<SOCKET>(ftp.dataSocket));
    }
  };
  select(IDC_FTP_REMOTE_LIST, {"big.bin"});
  click(IDC_FTP_RECEIVE);
  EXPECT_EQ(finishTransfer(), "Transfer terminated") << sessionText;
  ASSERT_TRUE(broken);
  const std::string whole = readFile(treeFile("big.bin"));
  std::string part = readFile(f.local + "\\big.bin");
  EXPECT_EQ(part.size() % FTP_BLOCK, 0u);
  EXPECT_GE(part.size(), 1000000u);
  EXPECT_LT(part.size(), whole.size());
  EXPECT_TRUE(part == whole.substr(0, part.size()));

  PostMessageA(control(IDC_FTP_RECOVER), BM_CLICK, 0, 0);
  ASSERT_TRUE(pumpUntil([] { return ftp.recover; }, 5000));
  select(IDC_FTP_REMOTE_LIST, {"big.bin"});
  click(IDC_FTP_RECEIVE);
  EXPECT_EQ(finishTransfer(), "Done") << sessionText;
  EXPECT_NE(sessionText.find("REST " + std::to_string(part.size()) + "\r\n"), std::string::npos) << sessionText;
  EXPECT_TRUE(readFile(f.local + "\\big.bin") == whole);
}
