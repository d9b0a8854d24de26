// The View options dialog of each program: its own labels for the start-up
// choices (a choice the program lacks is hidden), and OK storing the chosen
// value under the program's own name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "shell/shell_dialog_ids.h"
#include "shell/view_options_win32.h"
#include "win32_driver.h"

namespace {
std::string textOf(HWND control) {
  char text[64] = "";
  GetWindowTextA(control, text, sizeof text);
  return text;
}

TEST(ViewOptionsWin32, EachProgramsStartupChoicesAndTheValueStored) {
  struct Case {
    const ProgramSettings* settings;
    StartupChoices choices;
    int pressed;  // the radio button pressed before OK
    const char *bookText, *connectText;
    bool connectShown;
    int stored;
  } cases[] = {
      {&TELNET_SETTINGS, {103, 106, 107, nullptr, nullptr}, IDC_VIEW_START_CONNECT, "Telnetbook", "Connect", true, 106},
      {&DIALUP_SETTINGS, {1, 2, 0, "Phonebook", ""}, IDC_VIEW_START_BOOK, "Phonebook", "Connect", false, 1},
      {&DIALUP_SETTINGS, {1, 2, 0, "Phonebook", ""}, IDC_VIEW_START_NONE, "Phonebook", "Connect", false, 0},
  };
  for (const Case& c : cases) {
    regWriteString(c.settings->bookBox, "77");
    ViewOptions options = viewOptionsRead(*c.settings, c.choices);
    std::string book, connect;
    bool connectShown = true;
    std::thread user([&] {
      HWND view = waitForWindow("View options", 5000);
      if (!view) return;
      book = textOf(GetDlgItem(view, IDC_VIEW_START_BOOK));
      connect = textOf(GetDlgItem(view, IDC_VIEW_START_CONNECT));
      connectShown = IsWindowVisible(GetDlgItem(view, IDC_VIEW_START_CONNECT));
      SendDlgItemMessageA(view, c.pressed, BM_CLICK, 0, 0);
      PostMessageA(view, WM_COMMAND, IDOK, 0);
    });
    bool ok = viewOptions(mainWindow(), *c.settings, c.choices, &options);
    user.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(book, c.bookText);
    EXPECT_EQ(connect, c.connectText) << "a hidden choice keeps its text";
    EXPECT_EQ(connectShown, c.connectShown) << c.settings->bookBox;
    EXPECT_EQ(regReadInt(c.settings->bookBox, -1), c.stored) << c.settings->bookBox;
    EXPECT_EQ(options.startup, c.stored);
  }
}
}  // namespace
