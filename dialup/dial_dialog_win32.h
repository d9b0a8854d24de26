// The modeless dial dialog "DIALDIALOG": runs the dial machine over the
// session's port and posts WM_USER+1 to the main window when it ends
// (wParam 1 when the user cancelled, else 0).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "shell/modem_profile.h"
#include "shell/phone_entry.h"

constexpr UINT WM_DIAL_ENDED = WM_USER + 1;

// Dials entry (sequential dialing over list when it has names): the entry and
// profile are the program's current ones, changed in place for each entry of
// a dial list. Returns the dialog, or nullptr.
HWND dialDialogOpen(HWND mainWindow, PhoneEntry* entry, ModemProfile* profile, const std::vector<std::string>& list,
                    bool runScript);
// The dialog while it exists.
HWND dialDialog();
// Destroys the ended dialog; whether the run connected, and whether the
// entry's script is to run.
bool dialDialogClose(bool* runScript);
