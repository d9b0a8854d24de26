// The "Modem" page on a sheet of its own, driven from a second thread: it
// shows the entry's maker and OK stores the maker chosen; Cancel stores
// nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <thread>

#include "dialup/modem_dialog_ids.h"
#include "dialup/modem_dialogs_win32.h"
#include "screenshot.h"
#include "win32_driver.h"

namespace {
// Runs a sheet holding the page over entry; the user thread sees the maker
// shown, picks choose and presses button. Returns the maker shown.
int runPage(PhoneEntry& entry, int choose, int button, bool shot) {
  PROPSHEETPAGEA page;
  modemPageFill(page, &entry);
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  header.hwndParent = mainWindow();
  header.hInstance = GetModuleHandleA(nullptr);
  header.pszCaption = "Modem page";
  header.nPages = 1;
  header.ppsp = &page;
  int shown = -2;
  std::thread user([&] {
    HWND sheet = waitForWindow("Modem page", 5000);
    if (!sheet) return;
    HWND p = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    shown = static_cast<int>(SendDlgItemMessageA(p, IDC_MODEM_PAGE_LIST, LB_GETCURSEL, 0, 0));
    SendDlgItemMessageA(p, IDC_MODEM_PAGE_LIST, LB_SETCURSEL, static_cast<WPARAM>(choose), 0);
    if (shot) {
      Sleep(300);
      saveScreenshot("kelvro32_modem_page");
    }
    PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
  });
  PropertySheetA(&header);
  user.join();
  return shown;
}

TEST(ModemPage, ShowsTheEntrysMakerAndOkStoresTheChoice) {
  PhoneEntry entry{};
  recordSetInt(entry.bytes, phoneField::makerIndex, 13);
  EXPECT_EQ(runPage(entry, 4, PSBTN_CANCEL, false), 13);
  EXPECT_EQ(phoneMakerIndex(entry), 13) << "Cancel stores nothing";
  EXPECT_EQ(runPage(entry, 4, PSBTN_OK, true), 13);
  EXPECT_EQ(phoneMakerIndex(entry), 4);
  // A maker index out of range shows as Custom.
  recordSetInt(entry.bytes, phoneField::makerIndex, 99);
  EXPECT_EQ(runPage(entry, 0, PSBTN_OK, false), 15);
  EXPECT_EQ(phoneMakerIndex(entry), 0);
}
}  // namespace
