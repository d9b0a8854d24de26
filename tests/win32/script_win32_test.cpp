// SCRIPTDLG under Wine: a script runs over the COM port (a pseudo-terminal
// whose far end answers in upper case) and the main window receives 1026 with
// wParam 0 on success and 1 on failure; the password dialog refuses an empty
// entry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "dialup/serial_port_win32.h"
#include "screenshot.h"
#include "shell/script_dialog_win32.h"
#include "shell/script_terminal.h"
#include "terminal/link.h"
#include "terminal/terminal_state.h"
#include "win32_driver.h"

// The far end echoes in upper case; the echo of the last character arrives
// while the WAITSTRING waits, and the line then reads HELLO. A timeout posts 1
// after its message; Cancel posts 1 at once and shows none.
TEST(ScriptDialog, SuccessPostsZeroTimeoutAndCancelPostOne) {
  const char* com = getenv("SUITE_TEST_COM");
  ASSERT_NE(com, nullptr);
  ASSERT_EQ(serialOpenSession(lineSettingsClamped(atoi(com) - 1, 3, 0, 0, 0, 0)), 0);  // 38400 8N1
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  scriptAttachTerminal();
  MessageBoxCloser closer;  // a failure must not leave a box waiting for a user
  HWND dialog = startScript("ok.scr", "SEND \"hello\"\r\nWAITSTRING \"Hello\"\r\nEXIT\r\n");
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(mainWindow())) << "the main window waits while the script runs";
  char caption[64] = "";
  GetWindowTextA(dialog, caption, sizeof caption);
  EXPECT_STREQ(caption, "Script");
  // The run goes on inside the dialog's command handler: look at it from aside.
  std::thread look([] {
    Sleep(250);
    saveScreenshot("script_dialog_running");
  });
  EXPECT_TRUE(waitScript(10000));
  look.join();
  EXPECT_EQ(scriptResult, 0u);
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
  EXPECT_FALSE(IsWindow(dialog)) << "the main window destroys the dialog on 1026";
  EXPECT_TRUE(closer.texts().empty());

  ASSERT_NE(startScript("fail.scr", "TIMEOUT 1\r\nSEND \"abc\"\r\nWAITSTRING \"xyz\"\r\nEXIT\r\n"), nullptr);
  EXPECT_TRUE(waitScript(10000));
  EXPECT_EQ(scriptResult, 1u);
  EXPECT_EQ(closer.texts(), std::vector<std::string>{"No matching string found within timeout period"});

  dialog = startScript("cancel.scr", "TIMEOUT 30\r\nWAITSTRING \"never\"\r\nEXIT\r\n");
  ASSERT_NE(dialog, nullptr);
  DWORD start = GetTickCount();
  std::thread user([dialog] {
    Sleep(300);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_TRUE(waitScript(10000));
  user.join();
  EXPECT_EQ(scriptResult, 1u);
  EXPECT_LT(GetTickCount() - start, 5000u) << "Cancel ends the wait at once";
  EXPECT_EQ(closer.texts().size(), 1u) << "a cancelled run shows no message";
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
  EXPECT_TRUE(scriptAskPassword(mainWindow(), &password));
  user.join();
  EXPECT_TRUE(stillOpenAfterEmptyOk);
  EXPECT_EQ(password, "s3cret");

  std::thread cancel([] {
    HWND box = waitForWindow("Enter password:", 5000);
    if (box) SendMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_FALSE(scriptAskPassword(mainWindow(), &password));
  cancel.join();
}
