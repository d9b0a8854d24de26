// The "Modem" page of the dial-up configuration sheet: which maker's profile
// the entry uses.
#include <windows.h>

#include "dialup/modem_dialog_ids.h"
#include "dialup/modem_dialogs_win32.h"
#include "frame/config_sheet_win32.h"
#include "shell/modem_profile.h"
#include "shell/record.h"

namespace {
int modemRead(HWND page) {
  const LRESULT line = SendDlgItemMessageA(page, IDC_MODEM_PAGE_LIST, LB_GETCURSEL, 0, 0);
  if (line >= 0 && line < MODEM_MAKERS) recordSetInt(configWorkingRecord(), phoneField::makerIndex, static_cast<int>(line));
  return 0;
}
}  // namespace

INT_PTR CALLBACK ModemDlgFunc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    PhoneEntry entry;
    memcpy(entry.bytes, configWorkingRecord(), sizeof entry.bytes);
    HWND list = GetDlgItem(page, IDC_MODEM_PAGE_LIST);
    for (int i = 0; i < MODEM_MAKERS; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(modemMakerName(i)));
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(phoneMakerIndex(entry)), 0);
    return TRUE;
  }
  return configPageMessage(page, message, lParam, CONFIG_MODEM, modemRead);
}
