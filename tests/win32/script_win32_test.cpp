// SCRIPTDLG under Wine: a script runs over the COM port (a pseudo-terminal
// whose far end answers in upper case) and the main window receives 1026 with
// wParam 0 on success and 1 on failure; the password dialog refuses an empty
// entry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialog_driver.h"
#include "dialup/serial_win32.h"
#include "screenshot.h"
#include "shell/message_box.h"
#include "shell/pump.h"
#include "shell/script_dialog_win32.h"
#include "shell/script_terminal.h"
#include "terminal/link.h"
#include "terminal/receive.h"
#include "terminal/terminal_state.h"

namespace {
int doneCount = 0;
WPARAM doneResult = 99;

LRESULT CALLBACK mainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == SCRIPT_DONE_MESSAGE) {
    ++doneCount;
    doneResult = wp;
    scriptDialogClose(w);
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

HWND mainWindow() {
  static HWND w = nullptr;
  if (w) return w;
  WNDCLASSA wc{};
  wc.lpfnWndProc = mainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ScriptTestMain";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassA(&wc);
  w = CreateWindowA("ScriptTestMain", "Script test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 500, 300, nullptr,
                    nullptr, wc.hInstance, nullptr);
  return w;
}

std::string writeScript(const char* name, const char* text) {
  char path[MAX_PATH];
  GetTempPathA(sizeof path, path);
  std::string full = std::string(path) + name;
  FILE* f = fopen(full.c_str(), "wb");
  fputs(text, f);
  fclose(f);
  return full;
}

// Pumps messages until the main window heard 1026 or ms passed.
bool waitDone(DWORD ms) {
  DWORD start = GetTickCount();
  while (doneCount == 0 && GetTickCount() - start < ms) {
    if (pumpOne() == 0) Sleep(5);
  }
  return doneCount > 0;
}

// The real byte path: the receive pass puts the echo on the screen and gives
// each new line to the script's match.
ScriptEnv serialEnv() {
  ScriptEnv env;
  env.processIncoming = receiveAvailable;
  env.sendChar = scriptSendChar;
  return env;
}

void openPort() {
  const char* com = getenv("SUITE_TEST_COM");
  ASSERT_NE(com, nullptr);
  ASSERT_EQ(serialOpen(atoi(com), 38400), 0);
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  scriptAttachTerminal();
  doneCount = 0;
  doneResult = 99;
}
}  // namespace

TEST(ScriptDialog, SuccessfulRunPostsZero) {
  ASSERT_NO_FATAL_FAILURE(openPort());
  MessageBoxCloser closer;  // a failure must not leave a box waiting for a user
  HWND main = mainWindow();
  // The far end echoes in upper case; the echo of the last character arrives
  // while the WAITSTRING waits, and the line then reads HELLO.
  std::string path = writeScript("ok.scr", "SEND \"hello\"\r\nWAITSTRING \"Hello\"\r\nEXIT\r\n");
  HWND dialog = scriptRun(main, path.c_str(), serialEnv(), SCRIPT_DIALOG_NETWORK);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits while the script runs";
  char caption[64] = "";
  GetWindowTextA(dialog, caption, sizeof caption);
  EXPECT_STREQ(caption, "Script");
  // The run goes on inside the dialog's command handler: look at it from aside.
  std::thread look([] {
    Sleep(250);
    saveScreenshot("script_dialog_running");
  });
  EXPECT_TRUE(waitDone(10000));
  look.join();
  EXPECT_EQ(doneResult, 0u);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_FALSE(IsWindow(dialog)) << "the main window destroys the dialog on 1026";
  EXPECT_TRUE(closer.texts().empty());
  linkClose();
}

TEST(ScriptDialog, TimeoutPostsOneAfterItsMessage) {
  ASSERT_NO_FATAL_FAILURE(openPort());
  MessageBoxCloser closer;
  std::string path = writeScript("fail.scr", "TIMEOUT 1\r\nSEND \"abc\"\r\nWAITSTRING \"xyz\"\r\nEXIT\r\n");
  ASSERT_NE(scriptRun(mainWindow(), path.c_str(), serialEnv(), SCRIPT_DIALOG_NETWORK), nullptr);
  EXPECT_TRUE(waitDone(10000));
  EXPECT_EQ(doneResult, 1u);
  std::vector<std::string> texts = closer.texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "No matching string found within timeout period");
  linkClose();
}

TEST(ScriptDialog, CancelEndsTheRunWithFailure) {
  ASSERT_NO_FATAL_FAILURE(openPort());
  MessageBoxCloser closer;
  std::string path = writeScript("cancel.scr", "TIMEOUT 30\r\nWAITSTRING \"never\"\r\nEXIT\r\n");
  HWND dialog = scriptRun(mainWindow(), path.c_str(), serialEnv(), SCRIPT_DIALOG_NETWORK);
  ASSERT_NE(dialog, nullptr);
  DWORD start = GetTickCount();
  std::thread user([dialog] {
    Sleep(300);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_TRUE(waitDone(10000));
  user.join();
  EXPECT_EQ(doneResult, 1u);
  EXPECT_LT(GetTickCount() - start, 5000u) << "Cancel ends the wait at once";
  EXPECT_TRUE(closer.texts().empty()) << "a cancelled run shows no message";
  linkClose();
}

TEST(ScriptDialog, PasswordDialogRefusesAnEmptyEntry) {
  bool stillOpenAfterEmptyOk = false;
  std::thread user([&] {
    HWND box = waitForWindow("Enter password:", 5000);
    if (!box) return;
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    Sleep(100);
    stillOpenAfterEmptyOk = IsWindow(box) && IsWindowVisible(box);
    SetDlgItemTextA(box, 2102, "s3cret");
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  });
  std::string password;
  bool ok = scriptAskPassword(mainWindow(), &password);
  user.join();
  EXPECT_TRUE(stillOpenAfterEmptyOk);
  EXPECT_TRUE(ok);
  EXPECT_EQ(password, "s3cret");

  std::thread cancel([] {
    HWND box = waitForWindow("Enter password:", 5000);
    if (box) SendMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_FALSE(scriptAskPassword(mainWindow(), &password));
  cancel.join();
}
