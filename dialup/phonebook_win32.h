// The phonebook ("PHONEDIALOG") with its entry dialogs, and the dial-up
// program's configuration sheet (the "General" page "SERVICE" first).
#pragma once
#include <windows.h>

#include "frame/config_sheet_win32.h"
#include "shell/phone_entry.h"

#include <cstdint>
#include <vector>

extern const ConfigSheetSpec DIALUP_SHEET;
INT_PTR CALLBACK serviceDlgFunc(HWND, UINT, WPARAM, LPARAM);

// What the phonebook works on: the current entry (the session's record) and
// the template, and whether a session port is open.
struct PhonebookEnv {
  PhoneEntry* current;
  PhoneEntry* templ;
  bool (*connected)();
};

// Dial modes the phonebook leaves for the main window.
enum PhonebookResult { PHONEBOOK_NOTHING = 0, PHONEBOOK_DIAL = 1, PHONEBOOK_AUTOLOG = 2 };

// Runs the dialog; on PHONEBOOK_DIAL or PHONEBOOK_AUTOLOG the chosen entry is
// the current entry and its modem profile is loaded.
int phonebookDialog(HWND owner, const PhonebookEnv& env);
// The names chosen for sequential dialing by the last Dial (64 bytes each).
const std::vector<uint8_t>& phonebookDialList();

INT_PTR CALLBACK PhoneDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK CopyDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK DialOptDlgFunc(HWND, UINT, WPARAM, LPARAM);
