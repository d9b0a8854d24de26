// The modem's dialogs: "Modem Setting" (the maker list with the profile and
// result-code editors), the "Modem" page of the configuration sheet, and the
// modem search ("Modem Port").
#pragma once
#include <windows.h>
#include <prsht.h>

#include "shell/phone_entry.h"

// "Modem Setting": the maker list over entry's maker; the profile editor's OK
// makes its maker the entry's.
void modemSettingDialog(HWND owner, PhoneEntry& entry);
// The "Modem" page over entry (the sheet's working copy): lists the makers,
// selects the entry's, and stores the selection on apply.
void modemPageFill(PROPSHEETPAGEA& page, PhoneEntry* entry);
// "Check modem port": tries COM1 to COM8 with "ATQ\r" and shows the first
// port whose modem answers.
void modemSearchDialog(HWND owner);

INT_PTR CALLBACK ModemListDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK mCommDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK mResultDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ModemDlgFunc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PortDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
