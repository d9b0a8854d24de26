// The FTP window under Wine over the real engine logged in to the vsftpd that
// tests/win32/run starts for it (the test login may write there), driven by
// the messages a user's clicks send: listing, directory changes, transfers
// both ways, rename, delete, new folder, the refusal of a directory in a
// download, and a broken download resumed with "Recover".
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <winsock.h>

#include <algorithm>
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
std::string sessionText, localDir;
std::vector<std::string> messages;

std::string treeFile(const std::string& name) {
  return std::string(std::getenv("SUITE_TEST_FTPWIN_TREE_WIN")) + "\\" + name;
}

// Whether the local copy of name holds the same bytes as the server's.
bool sameAsServer(const std::string& name) { return readFile(localDir + "\\" + name) == readFile(treeFile(name)); }

HWND control(int id) { return GetDlgItem(ftpWindowHandle(), id); }

std::vector<std::string> listNames(int listId) {
  std::vector<std::string> names;
  for (int i = 0, n = ListView_GetItemCount(control(listId)); i < n; ++i) {
    char text[300] = "";
    ListView_GetItemText(control(listId), i, 0, text, sizeof text);
    names.push_back(text);
  }
  return names;
}

int indexOf(int listId, const std::string& name) {
  std::vector<std::string> names = listNames(listId);
  auto at = std::find(names.begin(), names.end(), name);
  return at == names.end() ? -1 : static_cast<int>(at - names.begin());
}

// Selects exactly these names of a list, the first one also focused.
void select(int listId, const std::vector<std::string>& names) {
  ListView_SetItemState(control(listId), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (size_t n = 0; n < names.size(); ++n) {
    int i = indexOf(listId, names[n]);
    ASSERT_GE(i, 0) << names[n];
    ListView_SetItemState(control(listId), i, LVIS_SELECTED | (n == 0 ? LVIS_FOCUSED : 0), LVIS_SELECTED | LVIS_FOCUSED);
  }
}

void click(int id) { PostMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)control(id)); }

// Chooses path in the remote path box, which changes there and lists it.
void chooseRemotePath(const std::string& path) {
  HWND box = control(IDC_FTP_REMOTE_PATH);
  SendMessageA(box, CB_SETCURSEL, SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)path.c_str()), 0);
  PostMessageA(ftpWindowHandle(), WM_COMMAND, MAKEWPARAM(IDC_FTP_REMOTE_PATH, CBN_SELCHANGE), (LPARAM)box);
}

std::string buttonText(HWND dialog, int id) {
  char text[32] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// Waits for the transfer dialog to read "OK", notes its status and presses it.
std::string finishTransfer() {
  if (!pumpUntil([] { return ftpTransferDialog() && buttonText(ftpTransferDialog(), IDC_XFER_BUTTON) == "OK"; }, 30000))
    return "no end";
  std::string status = buttonText(ftpTransferDialog(), IDC_XFER_STATUS);
  PostMessageA(ftpTransferDialog(), WM_COMMAND, IDC_XFER_BUTTON, 0);
  pumpUntil([] { return !ftpTransferDialog() && !ftp.busy; }, 10000);
  return status;
}

// Selects names in a list, clicks button and finishes the transfer it starts.
std::string transfer(int listId, const std::vector<std::string>& names, int button) {
  select(listId, names);
  click(button);
  return finishTransfer();
}

bool listed(int listId, const std::string& name, bool there = true) {
  return pumpUntil([&] { return (indexOf(listId, name) >= 0) == there; }, 10000);
}

// Clicks button while a second thread, as a user, answers the window titled
// title: name typed and OK, or Yes without a name. True once name is listed,
// or the last selected name is gone.
bool clickAnswering(int listId, int button, const char* title, const char* name, const std::string& selected) {
  std::thread user([title, name] {
    if (HWND w = waitForWindow(title, 10000)) {
      if (name) SetDlgItemTextA(w, IDC_FTP_NAME_EDIT, name);
      PostMessageA(w, WM_COMMAND, name ? IDOK : IDYES, 0);
    }
  });
  click(button);
  bool done = name ? listed(listId, name) : listed(listId, selected, false);
  user.join();
  return done;
}

// A point in the list's client area inside an item's label.
POINT itemPoint(int listId, const std::string& name) {
  RECT r{};
  r.left = LVIR_LABEL;
  SendMessageA(control(listId), LVM_GETITEMRECT, indexOf(listId, name), (LPARAM)&r);
  return POINT{r.left + 8, (r.top + r.bottom) / 2};
}

void doubleClick(int listId, const std::string& name) {
  POINT at = itemPoint(listId, name);
  LPARAM where = MAKELPARAM(at.x, at.y);
  for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    PostMessageA(control(listId), m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, where);
}

// Input as from the user's hand, through the system's queue.
void mouse(POINT at, DWORD flags) {
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags, at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1),
              at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1), 0, 0);
  Sleep(40);
}

void redrawAll() {
  RedrawWindow(mainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Two local files to send, then logged in as the test login with the window
// open over the tree, chosen in the remote path box (CWD and LIST).
class Win32FtpWindow : public ::testing::Test {
 protected:
  std::string oldProgramDir = programDir();
  RECT oldPlace{};

  void SetUp() override {
    GetWindowRect(mainWindow(), &oldPlace);
    MoveWindow(mainWindow(), 20, 20, 900, 560, TRUE);
    localDir = freshProgramDir("ftpwin");  // where the window's local side starts
    writeFile(localDir + "\\up load.bin", pseudoRandom(50000, 7));
    writeFile(localDir + "\\dragged.bin", pseudoRandom(30000, 9));
    ftpSessionReset();
    ftpResetHooks();
    sessionText.clear();
    messages.clear();
    ftpHooks.writeSession = [](const char* b, int n) { sessionText.append(b, static_cast<size_t>(n)); };
    ftpHooks.message = [](const char* text, const char*) { messages.push_back(text); };
    ftpWindowInstallHooks(mainWindow());
    ftp.localDir = ".";
    ftp.binary = true;
    open();
  }
  void open() {
    const char* port = std::getenv("SUITE_TEST_FTPWIN_PORT");
    const char* tree = std::getenv("SUITE_TEST_FTPWIN_TREE");
    ASSERT_TRUE(port && tree) << "tests/win32/run starts the window's vsftpd";
    ASSERT_EQ(ftpConnect("127.0.0.1", std::atoi(port), 10000), 0);
    ASSERT_EQ(FtpLogin({"peertest", "peerpass"}), 0) << sessionText;
    RECT area;
    GetClientRect(mainWindow(), &area);
    ASSERT_EQ(ftpWindowOpen(mainWindow(), area), 0);
    ASSERT_EQ(ftp.systemType, 1) << sessionText;
    chooseRemotePath(tree);
    ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "two.bin")) << sessionText;
  }
  void TearDown() override {
    ftpWindowClose();
    ftpDisconnect();
    SetCurrentDirectoryA(tempPath().c_str());
    setProgramDir(oldProgramDir);
    MoveWindow(mainWindow(), oldPlace.left, oldPlace.top, oldPlace.right - oldPlace.left,
               oldPlace.bottom - oldPlace.top, TRUE);
  }
};
}  // namespace

TEST_F(Win32FtpWindow, BrowseTransferAndChangeTheRemoteTree) {
  EXPECT_EQ(listNames(IDC_FTP_REMOTE_LIST),
            (std::vector<std::string>{"pub", "sub", "big.bin", "old.txt", "one.bin", "readme.txt", "two.bin"}));
  // The local side: its directories first, its files, then the drives.
  std::vector<std::string> local = listNames(IDC_FTP_LOCAL_LIST);
  local.resize(4);
  std::sort(local.begin() + 1, local.begin() + 3);  // files come in the directory's own order
  EXPECT_EQ(local, (std::vector<std::string>{"..", "dragged.bin", "up load.bin", "A:\\"}));
  redrawAll();
  pumpUntil([] { return false; }, 300);
  saveScreenshot("ftp_window");

  // A double click enters a directory; "Dir Up" leaves it.
  doubleClick(IDC_FTP_REMOTE_LIST, "sub");
  ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "inner.txt")) << sessionText;
  click(IDC_FTP_REMOTE_UP);
  ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "two.bin")) << sessionText;

  // A directory and two files: the directory refused once, both files here.
  EXPECT_EQ(transfer(IDC_FTP_REMOTE_LIST, {"sub", "one.bin", "two.bin"}, IDC_FTP_RECEIVE), "Done") << sessionText;
  EXPECT_EQ(messages, std::vector<std::string>{"Downloading of entire directory is not supported"});
  EXPECT_TRUE(sameAsServer("one.bin") && sameAsServer("two.bin"));
  EXPECT_TRUE(listed(IDC_FTP_LOCAL_LIST, "two.bin")) << "the local view is listed again";

  // Upload through "Send->", byte-identical, and the remote view shows it.
  EXPECT_EQ(transfer(IDC_FTP_LOCAL_LIST, {"up load.bin"}, IDC_FTP_SEND), "Done") << sessionText;
  EXPECT_TRUE(readFile(treeFile("up load.bin")) == pseudoRandom(50000, 7));
  EXPECT_TRUE(listed(IDC_FTP_REMOTE_LIST, "up load.bin"));

  // Rename, delete (answered Yes) and new folder on both sides, each listed again.
  const int R = IDC_FTP_REMOTE_LIST, L = IDC_FTP_LOCAL_LIST;
  const struct {
    int list, button;
    std::vector<std::string> selected;
    const char *title, *name;
  } steps[] = {
      {R, IDC_FTP_REMOTE_RENAME, {"readme.txt"}, "Rename", "renamed.txt"},
      {R, IDC_FTP_REMOTE_DELETE, {"old.txt"}, "Message", nullptr},
      {R, IDC_FTP_REMOTE_NEWFOLDER, {}, "New Folder", "made"},
      {L, IDC_FTP_LOCAL_NEWFOLDER, {}, "New Folder", "here"},
      {L, IDC_FTP_LOCAL_RENAME, {"one.bin"}, "Rename", "first.bin"},
      {L, IDC_FTP_LOCAL_DELETE, {"here", "first.bin"}, "Message", nullptr},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(std::string(s.title) + " " + (s.list == R ? "remote" : "local"));
    if (!s.selected.empty()) select(s.list, s.selected);
    EXPECT_TRUE(clickAnswering(s.list, s.button, s.title, s.name, s.selected.empty() ? "" : s.selected.back()))
        << sessionText;
  }
  EXPECT_EQ(indexOf(IDC_FTP_REMOTE_LIST, "made"), 0) << "directories come first";
  for (auto [path, there] : {std::pair{treeFile("renamed.txt"), true}, {treeFile("readme.txt"), false},
                             {treeFile("old.txt"), false}, {treeFile("made"), true}, {localDir + "\\here", false},
                             {localDir + "\\one.bin", false}})
    EXPECT_EQ(std::filesystem::exists(path), there) << path;

  // "View" of a type nothing opens, local and remote: the warning each time,
  // the remote file downloaded first.
  MessageBoxCloser warnings({"Warning"});
  select(L, {"two.bin"});
  click(IDC_FTP_LOCAL_VIEW);
  EXPECT_TRUE(pumpUntil([&] { return warnings.texts().size() == 1; }, 10000));
  EXPECT_EQ(transfer(R, {"one.bin"}, IDC_FTP_REMOTE_VIEW), "Done") << sessionText;
  EXPECT_TRUE(pumpUntil([&] { return warnings.texts().size() == 2; }, 10000));
  EXPECT_EQ(warnings.texts(), std::vector<std::string>(2, "No executable is associated with this file type"));
  EXPECT_TRUE(sameAsServer("one.bin"));
}

// The connection is lost in the middle of a download (the data connection
// breaks, the control connection ends): the whole blocks stay; after a new
// login "Recover" sends REST with their size and completes the file.
TEST_F(Win32FtpWindow, BrokenDownloadKeepsWholeBlocksAndRecoverResumes) {
  // The window's progress hook runs as before; past 1 MB both connections
  // are pulled from under the transfer once, and a picture taken.
  static void (*shown)(const FtpProgress&) = ftpHooks.progress;
  static bool broken = false;
  broken = false;
  ftpHooks.progress = [](const FtpProgress& p) {
    shown(p);
    if (!broken && p.offset >= 1000000 + 3 * FTP_BLOCK) {
      broken = true;
      redrawAll();
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
  EXPECT_EQ(transfer(IDC_FTP_REMOTE_LIST, {"big.bin"}, IDC_FTP_RECEIVE), "Transfer terminated") << sessionText;
  ASSERT_TRUE(broken);
  const std::string whole = readFile(treeFile("big.bin"));
  std::string part = readFile(localDir + "\\big.bin");
  EXPECT_EQ(part.size() % FTP_BLOCK, 0u);
  EXPECT_GE(part.size(), 1000000u);
  EXPECT_LT(part.size(), whole.size());
  EXPECT_TRUE(part == whole.substr(0, part.size()));

  // What the program does at a session's end, then a new session.
  ftpDisconnect();
  ftpWindowDisconnected();
  EXPECT_EQ(listNames(IDC_FTP_REMOTE_LIST).size(), 0u);
  open();
  if (HasFatalFailure()) return;
  PostMessageA(control(IDC_FTP_RECOVER), BM_CLICK, 0, 0);
  ASSERT_TRUE(pumpUntil([] { return ftp.recover; }, 5000));
  EXPECT_EQ(transfer(IDC_FTP_REMOTE_LIST, {"big.bin"}, IDC_FTP_RECEIVE), "Done") << sessionText;
  EXPECT_NE(sessionText.find("REST " + std::to_string(part.size()) + "\r\n"), std::string::npos) << sessionText;
  EXPECT_TRUE(sameAsServer("big.bin"));
}

// A local file dragged with the mouse onto the remote list is uploaded; a
// remote file dragged onto the local list is downloaded; the remote list's
// right-click menu receives the selection.
TEST_F(Win32FtpWindow, DragAndMenuBetweenThePanesTransfer) {
  // The mouse from an item's label to the middle of the other list: a hand
  // leaves the item in small moves that the list itself sees.
  auto drag = [](int fromList, const std::string& name, int toList) {
    SetForegroundWindow(mainWindow());  // a transfer dialog may have had it
    POINT from = itemPoint(fromList, name);
    ClientToScreen(control(fromList), &from);
    RECT target;
    GetWindowRect(control(toList), &target);
    POINT to{(target.left + target.right) / 2, (target.top + target.bottom) / 2};
    std::thread hand([from, to] {
      mouse(from, 0);
      mouse(from, MOUSEEVENTF_LEFTDOWN);
      for (int step = 1; step <= 4; ++step) mouse(POINT{from.x + (to.x > from.x ? 4 : -4) * step, from.y}, 0);
      for (int step = 1; step <= 10; ++step)
        mouse(POINT{from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10}, 0);
      mouse(to, MOUSEEVENTF_LEFTUP);
    });
    EXPECT_EQ(finishTransfer(), "Done") << sessionText;
    hand.join();
  };
  drag(IDC_FTP_REMOTE_LIST, "two.bin", IDC_FTP_LOCAL_LIST);
  EXPECT_TRUE(sameAsServer("two.bin"));
  drag(IDC_FTP_LOCAL_LIST, "dragged.bin", IDC_FTP_REMOTE_LIST);
  EXPECT_TRUE(readFile(treeFile("dragged.bin")) == pseudoRandom(30000, 9));
  ASSERT_TRUE(listed(IDC_FTP_REMOTE_LIST, "dragged.bin"));

  // The menu's fifth entry on the remote side is "Receive".
  select(IDC_FTP_REMOTE_LIST, {"one.bin"});
  RECT list;
  GetWindowRect(control(IDC_FTP_REMOTE_LIST), &list);
  std::thread chooser([] {
    for (int i = 0; i < 200 && !FindWindowA("#32768", nullptr); ++i) Sleep(20);
    Sleep(100);
    for (BYTE vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) {
      keybd_event(vk, 0, 0, 0);
      keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
      Sleep(40);
    }
  });
  SetForegroundWindow(mainWindow());
  PostMessageA(ftpWindowHandle(), WM_CONTEXTMENU, (WPARAM)control(IDC_FTP_REMOTE_LIST),
               MAKELPARAM((list.left + list.right) / 2, (list.top + list.bottom) / 2));
  EXPECT_EQ(finishTransfer(), "Done") << sessionText;
  chooser.join();
  EXPECT_TRUE(sameAsServer("one.bin"));
}

// "Close" reads "Abort" while a listing runs and then stops it: the abort
// goes to the server, no view is built from the part that came, and the
// window lists the next directory as before.
TEST_F(Win32FtpWindow, CloseAbortsARunningListing) {
  // The listing runs inside the path box's handler: a second thread, as a
  // user's hand, presses the button once it reads "Abort" and the data flows.
  std::thread user([] {
    HWND close = control(IDC_FTP_CLOSE);
    WCHAR text[16] = L"";
    for (int i = 0; i < 500 && (InternalGetWindowText(close, text, 16), lstrcmpW(text, L"Abort") != 0); ++i) Sleep(10);
    Sleep(300);
    click(IDC_FTP_CLOSE);
  });
  chooseRemotePath(std::string(std::getenv("SUITE_TEST_FTPWIN_TREE")) + "/../long/many");
  pumpUntil([] { return false; }, 200);
  user.join();
  ASSERT_TRUE(pumpUntil([] { return buttonText(ftpWindowHandle(), IDC_FTP_CLOSE) == "Close" && !ftp.busy; }, 20000));
  EXPECT_NE(sessionText.find("ABOR\r\n"), std::string::npos) << sessionText.substr(sessionText.size() - 300);
  EXPECT_EQ(listNames(IDC_FTP_REMOTE_LIST).size(), 0u);
  click(IDC_FTP_REMOTE_UP);
  EXPECT_TRUE(listed(IDC_FTP_REMOTE_LIST, "many")) << sessionText.substr(sessionText.size() - 300);
}
