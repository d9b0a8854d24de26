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
#include "shell/program_dir.h"
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
  std::string local, oldProgramDir = programDir();
  RECT oldPlace{};
  Fixture() {
    GetWindowRect(mainWindow(), &oldPlace);
    MoveWindow(mainWindow(), 20, 20, 900, 560, TRUE);
    local = tempPath("ftpwin" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(local);
    std::filesystem::create_directories(local);
    setProgramDir(local);  // where the window's local side starts
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
  // Logs in as the test login, opens the window and lists the tree, chosen
  // in the remote path box (CWD and LIST).
  void open() {
    const char* port = std::getenv("SUITE_TEST_FTPWIN_PORT");
    const char* tree = std::getenv("SUITE_TEST_FTPWIN_TREE");
    ASSERT_TRUE(port && tree) << "tests/win32/run starts the window's vsftpd";
    ASSERT_EQ(ftpConnect("127.0.0.1", std::atoi(port), 10000), 0);
    FtpLoginInfo login;
    login.user = "peertest";
    login.password = "peerpass";
    ASSERT_EQ(FtpLogin(login), 0) << sessionText;
    RECT area;
    GetClientRect(mainWindow(), &area);
    ASSERT_EQ(ftpWindowOpen(mainWindow(), area), 0);
    ASSERT_EQ(ftp.systemType, 1) << sessionText;
    HWND path = control(IDC_FTP_REMOTE_PATH);
    SendMessageA(path, CB_SETCURSEL, SendMessageA(path, CB_ADDSTRING, 0, (LPARAM)tree), 0);
    PostMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(IDC_FTP_REMOTE_PATH, CBN_SELCHANGE), (LPARAM)path);
    ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "two.bin")) << sessionText;
  }
  ~Fixture() {
    ftpWindowClose();
    ftpDisconnect();
    SetCurrentDirectoryA(tempPath().c_str());
    setProgramDir(oldProgramDir);
    MoveWindow(mainWindow(), oldPlace.left, oldPlace.top, oldPlace.right - oldPlace.left,
               oldPlace.bottom - oldPlace.top, TRUE);
  }
};
}  // namespace

TEST(Win32FtpWindow, BrowseTransferAndChangeTheRemoteTree) {
  Fixture f;
  writeFile(f.local + "\\up load.bin", pseudoRandom(50000, 7));
  f.open();
  if (HasFatalFailure()) return;
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

  // The local side: a new folder, a rename and a delete (answered Yes).
  std::thread localFolder = answer("New Folder", [](HWND d) { typeName(d, "here"); });
  click(IDC_FTP_LOCAL_NEWFOLDER);
  EXPECT_TRUE(listed(IDC_FTP_LOCAL_LIST, "here"));
  localFolder.join();
  select(IDC_FTP_LOCAL_LIST, {"one.bin"});
  std::thread localRename = answer("Rename", [](HWND d) { typeName(d, "first.bin"); });
  click(IDC_FTP_LOCAL_RENAME);
  EXPECT_TRUE(listed(IDC_FTP_LOCAL_LIST, "first.bin"));
  localRename.join();
  select(IDC_FTP_LOCAL_LIST, {"here", "first.bin"});
  std::thread localYes = answer("Message", [](HWND box) { PostMessageA(box, WM_COMMAND, IDYES, 0); });
  click(IDC_FTP_LOCAL_DELETE);
  EXPECT_TRUE(pumpUntil([] { return indexOf(IDC_FTP_LOCAL_LIST, "first.bin") < 0; }, 10000));
  localYes.join();
  EXPECT_FALSE(std::filesystem::exists(f.local + "\\here"));
  EXPECT_FALSE(std::filesystem::exists(f.local + "\\one.bin"));

  // "View" of a type nothing opens, local and remote: the warning each time,
  // the remote file downloaded first.
  MessageBoxCloser warnings({"Warning"});
  select(IDC_FTP_LOCAL_LIST, {"two.bin"});
  click(IDC_FTP_LOCAL_VIEW);
  EXPECT_TRUE(pumpUntil([&] { return warnings.texts().size() == 1; }, 10000));
  select(IDC_FTP_REMOTE_LIST, {"one.bin"});
  click(IDC_FTP_REMOTE_VIEW);
  EXPECT_EQ(finishTransfer(), "Done") << sessionText;
  EXPECT_TRUE(pumpUntil([&] { return warnings.texts().size() == 2; }, 10000));
  EXPECT_EQ(warnings.texts(), std::vector<std::string>(2, "No executable is associated with this file type"));
  EXPECT_TRUE(readFile(f.local + "\\one.bin") == readFile(treeFile("one.bin")));
}

// The connection is lost in the middle of a download (the data connection
// breaks, the control connection ends): the whole blocks stay; after a new
// login "Recover" sends REST with their size and completes the file.
TEST(Win32FtpWindow, BrokenDownloadKeepsWholeBlocksAndRecoverResumes) {
  Fixture f;
  f.open();
  if (HasFatalFailure()) return;

  // The window's progress hook runs as before; past 1 MB both connections
  // are pulled from under the transfer once, and a picture taken.
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
      shutdown(static_cast<SOCKET>(ftp.control), 2);
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

  // What the program does at a session's end, then a new session.
  ftpDisconnect();
  ftpWindowDisconnected();
  EXPECT_EQ(listNames(IDC_FTP_REMOTE_LIST).size(), 0u);
  f.open();
  if (HasFatalFailure()) return;
  PostMessageA(control(IDC_FTP_RECOVER), BM_CLICK, 0, 0);
  ASSERT_TRUE(pumpUntil([] { return ftp.recover; }, 5000));
  select(IDC_FTP_REMOTE_LIST, {"big.bin"});
  click(IDC_FTP_RECEIVE);
  EXPECT_EQ(finishTransfer(), "Done") << sessionText;
  EXPECT_NE(sessionText.find("REST " + std::to_string(part.size()) + "\r\n"), std::string::npos) << sessionText;
  EXPECT_TRUE(readFile(f.local + "\\big.bin") == whole);
}

// A local file dragged with the mouse onto the remote list is uploaded; a
// remote file dragged onto the local list is downloaded; the remote list's
// right-click menu receives the selection.
TEST(Win32FtpWindow, DragAndMenuBetweenThePanesTransfer) {
  Fixture f;
  writeFile(f.local + "\\dragged.bin", pseudoRandom(30000, 9));
  f.open();
  if (HasFatalFailure()) return;
  SetForegroundWindow(mainWindow());

  // The mouse from the middle of an item's label to the middle of the other list.
  auto drag = [](int fromList, const std::string& name, int toList) {
    RECT item{};
    item.left = LVIR_LABEL;
    SendMessageA(control(fromList), LVM_GETITEMRECT, indexOf(fromList, name), (LPARAM)&item);
    POINT from{item.left + 10, (item.top + item.bottom) / 2};
    ClientToScreen(control(fromList), &from);
    RECT target;
    GetWindowRect(control(toList), &target);
    POINT to{(target.left + target.right) / 2, (target.top + target.bottom) / 2};
    return std::thread([from, to] {
      auto mouse = [](POINT at, DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
        SendInput(1, &in, sizeof in);
        Sleep(40);
      };
      mouse(from, 0);
      mouse(from, MOUSEEVENTF_LEFTDOWN);
      // A hand leaves the item in small moves that the list itself sees.
      const int dx = to.x > from.x ? 4 : -4;
      for (int step = 1; step <= 4; ++step) mouse(POINT{from.x + dx * step, from.y}, 0);
      for (int step = 1; step <= 10; ++step)
        mouse(POINT{from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10}, 0);
      mouse(to, MOUSEEVENTF_LEFTUP);
    });
  };
  std::thread down = drag(IDC_FTP_REMOTE_LIST, "two.bin", IDC_FTP_LOCAL_LIST);
  EXPECT_EQ(finishTransfer(), "Done") << sessionText;
  down.join();
  EXPECT_TRUE(readFile(f.local + "\\two.bin") == readFile(treeFile("two.bin")));

  SetForegroundWindow(mainWindow());  // the transfer dialog had it
  std::thread up = drag(IDC_FTP_LOCAL_LIST, "dragged.bin", IDC_FTP_REMOTE_LIST);
  EXPECT_EQ(finishTransfer(), "Done") << sessionText;
  up.join();
  EXPECT_TRUE(readFile(treeFile("dragged.bin")) == pseudoRandom(30000, 9));
  ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "dragged.bin"));

  // The menu's fifth entry on the remote side is "Receive".
  select(IDC_FTP_REMOTE_LIST, {"one.bin"});
  RECT list;
  GetWindowRect(control(IDC_FTP_REMOTE_LIST), &list);
  std::thread chooser([] {
    HWND menu = nullptr;
    for (int i = 0; i < 200 && !(menu = FindWindowA("#32768", nullptr)); ++i) Sleep(20);
    Sleep(100);
    auto key = [](WORD vk) {
      INPUT in[2] = {};
      in[0].type = in[1].type = INPUT_KEYBOARD;
      in[0].ki.wVk = in[1].ki.wVk = vk;
      in[1].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(2, in, sizeof(INPUT));
      Sleep(40);
    };
    for (int i = 0; i < 5; ++i) key(VK_DOWN);
    key(VK_RETURN);
  });
  SetForegroundWindow(mainWindow());
  PostMessageA(ftpWindowHandle(), WM_CONTEXTMENU, (WPARAM)control(IDC_FTP_REMOTE_LIST),
               MAKELPARAM((list.left + list.right) / 2, (list.top + list.bottom) / 2));
  EXPECT_EQ(finishTransfer(), "Done") << sessionText;
  chooser.join();
  EXPECT_TRUE(readFile(f.local + "\\one.bin") == readFile(treeFile("one.bin")));

}

// "Close" reads "Abort" while a listing runs and then stops it: the abort
// goes to the server, no view is built from the part that came, and the
// window lists the next directory as before.
TEST(Win32FtpWindow, CloseAbortsARunningListing) {
  Fixture f;
  f.open();
  if (HasFatalFailure()) return;
  std::string many = std::string(std::getenv("SUITE_TEST_FTPWIN_TREE")) + "/../long/many";
  HWND path = control(IDC_FTP_REMOTE_PATH);
  SendMessageA(path, CB_SETCURSEL, SendMessageA(path, CB_ADDSTRING, 0, (LPARAM)many.c_str()), 0);
  // The listing runs inside the click's handler: a second thread, as a
  // user's hand, presses the button once it reads "Abort" and the data flows.
  std::thread user([] {
    HWND close = control(IDC_FTP_CLOSE);
    WCHAR text[16] = L"";
    for (int i = 0; i < 500 && (InternalGetWindowText(close, text, 16), lstrcmpW(text, L"Abort") != 0); ++i) Sleep(10);
    Sleep(300);
    PostMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(IDC_FTP_CLOSE, BN_CLICKED), (LPARAM)close);
  });
  PostMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(IDC_FTP_REMOTE_PATH, CBN_SELCHANGE), (LPARAM)path);
  pumpUntil([] { return false; }, 200);
  user.join();
  ASSERT_TRUE(pumpUntil([] { return buttonText(ftpWindowHandle(), IDC_FTP_CLOSE) == "Close" && !ftp.busy; }, 20000));
  EXPECT_NE(sessionText.find("ABOR\r\n"), std::string::npos) << sessionText.substr(sessionText.size() - 300);
  EXPECT_EQ(listNames(IDC_FTP_REMOTE_LIST).size(), 0u);
  ASSERT_TRUE(ftpWindowHandle()) << "the window stays open";
  click(IDC_FTP_REMOTE_UP);
  EXPECT_TRUE(listed(IDC_FTP_REMOTE_LIST, "many")) << sessionText.substr(sessionText.size() - 300);
}
