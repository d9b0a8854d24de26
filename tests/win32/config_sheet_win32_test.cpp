// The "Configuration" sheet driven from a second thread as a user would:
// every page shown (and saved as a screenshot), fields changed on several
// pages and OK writing the entry file and the program-wide values; every
// refusal of the pages keeping the sheet open; Cancel writing nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "screenshot.h"
#include "shell/book_entry.h"
#include "frame/config_ids.h"
#include "frame/config_sheet_win32.h"
#include "dialup/dialup_dialog_ids.h"
#include "dialup/phonebook_win32.h"
#include "shell/session_profile.h"
#include "shell/settings.h"
#include "win32_driver.h"

namespace fs = std::filesystem;

namespace {
const char* const PAGE_NAMES[CONFIG_PAGE_COUNT] = {"general", "terminal", "protocols", "color",
                                                   "fonts",   "defdir",   "options",   "firewall"};

struct SheetFixture : ::testing::Test {
  fs::path dir;
  std::string dirText, script;
  void SetUp() override {
    dirText = freshProgramDir("sheet-");
    dir = dirText;
    fs::create_directories(dir / "Down");
    ConfigEnv env;
    env.mainWindow = mainWindow();
    env.programDir = dirText.c_str();
    script = (dir / "pxtel.txt").string();
    env.firewallScript = script.c_str();
    configSheetAttach(env);
    regWriteString("scroll", "1000");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  BookEntry savedEntry(const char* name) {
    BookEntry e = bookDefaultEntry();
    recordSetText(e.bytes, bookField::name, name);
    EXPECT_EQ(bookSaveEntry(e), 0);
    return e;
  }
  std::vector<uint8_t> fileOf(const char* name) {
    BookEntry e{};
    bookLoadEntry(name, e);
    return std::vector<uint8_t>(e.bytes, e.bytes + BOOK_ENTRY_SIZE);
  }
};

HWND showPage(HWND sheet, int page) {
  SendMessageA(sheet, PSM_SETCURSEL, page, 0);
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

TEST_F(SheetFixture, EveryPageShownAndOkSavesTheWorkingCopy) {
  BookEntry entry = savedEntry("Sheet Host");
  MessageBoxCloser closer;
  std::vector<std::string> tabs;
  std::thread user([&] {
    HWND sheet = waitForWindow("Configuration", 5000);
    if (!sheet) return;
    for (int i = 0; i < CONFIG_PAGE_COUNT; ++i) {
      HWND page = showPage(sheet, i);
      char text[64] = "";
      GetWindowTextA(page, text, sizeof text);
      tabs.push_back(text);
      Sleep(300);
      saveScreenshot(std::string("config_") + std::to_string(i) + "_" + PAGE_NAMES[i]);
      if (i == CONFIG_GENERAL) SetDlgItemTextA(page, IDC_CFG_ADDRESS, "changed.example");
      if (i == CONFIG_TERMINAL) {
        SetDlgItemTextA(page, IDC_CFG_HEIGHT, "30");
        SetDlgItemTextA(page, IDC_CFG_SCROLL, "2000");
        SendDlgItemMessageA(page, IDC_CFG_CHECK_FIRST + 8, BM_SETCHECK, BST_CHECKED, 0);  // Strip high bit
      }
      if (i == CONFIG_PROTOCOLS) SetDlgItemTextA(page, IDC_PROTO_MAX_ERRORS, "0");
      if (i == CONFIG_DEFAULT_DIR) {
        // "..." lists the directories from the program directory; OK takes the listed one.
        PostMessageA(page, WM_COMMAND, IDC_DIR_SESSION_BROWSE, 0);
        HWND listing = waitForWindow("Directory listing", 5000);
        if (listing) {
          Sleep(300);
          saveScreenshot("config_directory_listing");
          PostMessageA(listing, WM_COMMAND, IDOK, 0);
          for (int w = 0; w < 250 && IsWindow(listing); ++w) Sleep(20);
        }
      }
      if (i == CONFIG_OPTIONS) SetDlgItemTextA(page, IDC_OPT_PACKET, "9024");
      if (i == CONFIG_FIREWALL) {
        SetDlgItemTextA(page, IDC_FW_ADDRESS, "gate.example");
        SetDlgItemTextA(page, IDC_FW_PORT, "abc");
        // "Check Syntax" reads the firewall script as it is on disk now.
        for (const char* text : {"TIMEOUT 10\r\nSEND \"abc\r\nEXIT\r\n", "TIMEOUT 10\r\nSEND \"abc\"\r\nEXIT\r\n"}) {
          FILE* f = fopen(script.c_str(), "wb");
          if (f) fputs(text, f), fclose(f);
          size_t seen = closer.texts().size();
          PostMessageA(page, WM_COMMAND, IDC_FW_CHECK, 0);
          for (int w = 0; w < 250 && closer.texts().size() == seen; ++w) Sleep(20);
          for (int w = 0; w < 100 && FindWindowA(nullptr, "Message"); ++w) Sleep(20);  // the box is gone
        }
      }
    }
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  });
  int result = settingsSheet(mainWindow(), &entry, CONFIG_GENERAL, false);
  user.join();
  ASSERT_EQ(result, IDOK);
  EXPECT_EQ(tabs, (std::vector<std::string>{"General", "Terminal Pref", "Protocols", "Color", "Fonts", "Default Dir",
                                            "Options", "Firewall"}));
  using namespace bookField;
  BookEntry file{};
  ASSERT_EQ(bookLoadEntry("Sheet Host", file), static_cast<int>(BOOK_ENTRY_SIZE));
  EXPECT_EQ(memcmp(file.bytes, entry.bytes, BOOK_ENTRY_SIZE), 0) << "OK saves what the caller gets";
  const uint8_t* r = file.bytes;
  EXPECT_EQ(recordText(r, address), "changed.example");
  EXPECT_EQ(recordInt(r, terminalHeight), 30);
  EXPECT_EQ(recordInt(r, stripHighBit), 1);
  EXPECT_EQ(recordInt(r, maxErrors), 5) << "a typed 0 is the default count";
  EXPECT_EQ(recordInt(r, kermitPacketSize), 9024);
  EXPECT_EQ(recordText(r, downloadDir), "") << "the program directory shown for an empty field stays empty";
  EXPECT_EQ(fs::path(recordText(r, sessionDir)), dir) << "the directory chosen in the listing";
  EXPECT_EQ(regReadInt("scroll", 0), 2000);
  EXPECT_EQ(regReadInt("FirewallPortTelnet", 23), 0) << "a port that is not a number is stored as 0";
  char gate[64] = "";
  regReadString("FirewallAddressTelnet", "", gate, sizeof gate);
  EXPECT_STREQ(gate, "gate.example");
  EXPECT_EQ(closer.texts(), (std::vector<std::string>{"Missing quote in line number 2", "Script check complete",
                                                      "Scroll range would take into effect when you restart"}));
}

// Each refusal shows its text, keeps the sheet open on the page, and Cancel
// afterwards leaves the entry, its file and the settings as they were.
TEST_F(SheetFixture, RefusalsKeepTheSheetOpenAndCancelWritesNothing) {
  BookEntry entry = savedEntry("Refusals");
  BookEntry before = entry;
  std::vector<uint8_t> fileBefore = fileOf("Refusals");
  // A null text picks the second protocol instead: Rlogin without a user name.
  struct Case {
    int page, control;
    const char *bad, *good, *text;
  };
  const Case cases[] = {
      {CONFIG_TERMINAL, IDC_CFG_HEIGHT, "100", "24", "Term height must be in range 24 and 99."},
      {CONFIG_TERMINAL, IDC_CFG_SCROLL, "5000", "1000", "Scroll range must be in the range 24-3000"},
      {CONFIG_OPTIONS, IDC_OPT_PACKET, "64", "1024", "Invalid size for kermit buffer"},
      {CONFIG_DEFAULT_DIR, IDC_DIR_DOWNLOAD, "C:\\no\\such\\dir", "", "Download directory not found"},
      {CONFIG_DEFAULT_DIR, IDC_DIR_SESSION, "C:\\no\\such\\log", "", "Session directory not found"},
      {CONFIG_GENERAL, IDC_CFG_ADDRESS, "", "host.example.com", "No address specified"},
      {CONFIG_GENERAL, IDC_CFG_PROTOCOL, nullptr, nullptr, "Must enter username to login"},
  };
  MessageBoxCloser closer({"Message", "Error"});
  std::vector<int> activeAfter;
  bool openAfterAll = false;
  std::thread user([&] {
    HWND sheet = waitForWindow("Configuration", 5000);
    if (!sheet) return;
    for (const Case& c : cases) {
      size_t seen = closer.texts().size();
      HWND page = showPage(sheet, c.page);
      if (c.bad) SetDlgItemTextA(page, c.control, c.bad);
      else SendDlgItemMessageA(page, c.control, CB_SETCURSEL, 1, 0);
      PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
      for (int i = 0; i < 250 && closer.texts().size() == seen; ++i) Sleep(20);
      Sleep(100);
      HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
      activeAfter.push_back(static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)));
      if (c.good) SetDlgItemTextA(page, c.control, c.good);
    }
    openAfterAll = IsWindow(sheet);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  });
  int result = settingsSheet(mainWindow(), &entry, CONFIG_GENERAL, false);
  user.join();
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(openAfterAll);
  std::vector<std::string> texts;
  std::vector<int> pages;
  for (const Case& c : cases) {
    texts.push_back(c.text);
    pages.push_back(c.page);
  }
  EXPECT_EQ(closer.texts(), texts);
  EXPECT_EQ(closer.titles().back(), "Error");
  EXPECT_EQ(activeAfter, pages) << "the sheet stays on the page that refused";
  EXPECT_EQ(std::vector<uint8_t>(entry.bytes, entry.bytes + BOOK_ENTRY_SIZE),
            std::vector<uint8_t>(before.bytes, before.bytes + BOOK_ENTRY_SIZE));
  EXPECT_EQ(fileOf("Refusals"), fileBefore);
  EXPECT_EQ(regReadInt("scroll", 0), 1000);
}
}  // namespace

// The sheet opens centred over the window that opened it, with the caption's
// "?" button whose click-then-control the help describes.
TEST_F(SheetFixture, OpensCentredOverItsOwnerWithTheHelpButton) {
  BookEntry entry = savedEntry("Centred");
  HWND owner = mainWindow();
  SetWindowPos(owner, nullptr, 40, 30, 900, 700, SWP_NOZORDER | SWP_SHOWWINDOW);
  RECT own{}, box{};
  GetWindowRect(owner, &own);
  LONG exStyle = 0;
  std::thread user([&] {
    HWND sheet = waitForWindow("Configuration", 5000);
    if (!sheet) return;
    Sleep(300);
    GetWindowRect(sheet, &box);
    exStyle = GetWindowLongA(sheet, GWL_EXSTYLE);
    saveScreenshot("config_centred_help_button");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  });
  settingsSheet(owner, &entry, CONFIG_GENERAL, false);
  user.join();
  ASSERT_GT(box.right, box.left);
  int ownCentreX = (own.left + own.right) / 2, ownCentreY = (own.top + own.bottom) / 2;
  EXPECT_NEAR((box.left + box.right) / 2, ownCentreX, 2);
  EXPECT_NEAR((box.top + box.bottom) / 2, ownCentreY, 2);
  EXPECT_TRUE(exStyle & WS_EX_CONTEXTHELP);
}

// The dial-up program's sheet over a phone entry: opened by a page kind on
// that page, its own General page first (the name fixed for an existing
// entry, the Terminal ID greyed: the record has none), a refused value
// keeping it open, and OK writing the phone entry's file.
TEST_F(SheetFixture, DialupSheetOverAPhoneEntry) {
  PhoneEntry entry = phoneDefaultEntry();
  recordSetText(entry.bytes, phoneField::name, "Dial Host");
  recordSetText(entry.bytes, phoneField::phoneNumber, "");
  recordSetInt(entry.bytes, phoneField::phoneType, PHONE_TYPE_NONE);
  ASSERT_EQ(phoneSaveEntry(entry), 0);
  MessageBoxCloser closer;
  std::vector<std::string> tabs;
  std::string firstShown;
  bool nameEnabled = true, terminalIdEnabled = true, openAfterRefusal = false;
  std::thread user([&] {
    HWND sheet = waitForWindow("Configuration", 5000);
    if (!sheet) return;
    char text[64] = "";
    GetWindowTextA(reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)), text, sizeof text);
    firstShown = text;
    terminalIdEnabled = IsWindowEnabled(GetDlgItem(showPage(sheet, 1), IDC_CFG_TERMINAL_ID));
    for (int i = 0; i < DIALUP_SHEET.pageCount; ++i) {
      GetWindowTextA(showPage(sheet, i), text, sizeof text);
      tabs.push_back(text);
    }
    HWND general = showPage(sheet, 0);
    nameEnabled = IsWindowEnabled(GetDlgItem(general, IDC_SVC_NAME));
    SetDlgItemTextA(general, IDC_SVC_PHONE, "5551234");  // a number on a direct line
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    for (int w = 0; w < 250 && closer.texts().empty(); ++w) Sleep(20);
    Sleep(100);
    openAfterRefusal = IsWindow(sheet);
    SetDlgItemTextA(general, IDC_SVC_PHONE, "");
    SetDlgItemTextA(general, IDC_SVC_PREFIX, "77");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  });
  int result = configSheet(mainWindow(), DIALUP_SHEET, entry.bytes, CONFIG_TERMINAL, false);
  user.join();
  ASSERT_EQ(result, IDOK);
  EXPECT_EQ(firstShown, "Terminal Pref");
  EXPECT_EQ(tabs, (std::vector<std::string>{"General", "Terminal Pref", "Protocols", "Color", "Fonts", "Default Dir",
                                            "Options"}));
  EXPECT_FALSE(nameEnabled);
  EXPECT_FALSE(terminalIdEnabled);
  EXPECT_TRUE(openAfterRefusal);
  EXPECT_EQ(closer.texts(), std::vector<std::string>{"Invalid phone type specified"});
  PhoneEntry saved{};
  ASSERT_EQ(phoneLoadEntry("Dial Host", saved), static_cast<int>(PHONE_ENTRY_SIZE));
  EXPECT_EQ(recordText(saved.bytes, phoneField::phonePrefix), "77");
  EXPECT_EQ(recordText(saved.bytes, phoneField::phoneNumber), "");
}
