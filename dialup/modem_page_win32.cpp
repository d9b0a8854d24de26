// The "Modem" page of the dial-up configuration sheet: which maker's profile
// the entry uses.
#include <windows.h>

#include "dialup/modem_dialog_ids.h"
#include "dialup/modem_dialogs_win32.h"
#include "shell/help_win32.h"
#include "shell/modem_profile.h"

namespace {
const HelpTopic HELP_MODEM_PAGE = {"dialup_modemsetting.html", "modem.txt", 230};
}

INT_PTR CALLBACK ModemDlgFunc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* entry = reinterpret_cast<PhoneEntry*>(reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
      SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(entry));
      HWND list = GetDlgItem(page, IDC_MODEM_PAGE_LIST);
      for (int i = 0; i < MODEM_MAKERS; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(modemMakerName(i)));
      SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(phoneMakerIndex(*entry)), 0);
      return TRUE;
    }
    case WM_HELP:
      helpContextPopup(reinterpret_cast<const HELPINFO*>(lParam), HELP_MODEM_PAGE);
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* n = reinterpret_cast<const NMHDR*>(lParam);
      auto* entry = reinterpret_cast<PhoneEntry*>(GetWindowLongPtrA(page, DWLP_USER));
      if (n->code == PSN_APPLY) {
        int line = static_cast<int>(SendDlgItemMessageA(page, IDC_MODEM_PAGE_LIST, LB_GETCURSEL, 0, 0));
        if (entry && line >= 0 && line < MODEM_MAKERS) recordSetInt(entry->bytes, phoneField::makerIndex, line);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
      }
      if (n->code == PSN_HELP) {
        helpShowTopic(page, HELP_MODEM_PAGE);
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

void modemPageFill(PROPSHEETPAGEA& page, PhoneEntry* entry) {
  page = PROPSHEETPAGEA{};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_HASHELP;
  page.hInstance = GetModuleHandleA(nullptr);
  page.pszTemplate = "MODEM";
  page.pfnDlgProc = ModemDlgFunc;
  page.lParam = reinterpret_cast<LPARAM>(entry);
}
