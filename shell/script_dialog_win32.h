// The script's dialogs: SCRIPTDLG runs a script modelessly over the main
// window and reports its end with message 1026; PASSWORD asks for $PASS.
#pragma once
#include <windows.h>

#include "shell/script.h"

// Which program runs the script: the dial-up program keeps the dialog open
// after the run and always reports success.
enum ScriptDialogMode { SCRIPT_DIALOG_NETWORK, SCRIPT_DIALOG_DIALUP };

// Opens SCRIPTDLG over mainWindow, disables the main window and starts the run
// of path. Returns the dialog, or nullptr when it could not be created.
HWND scriptRun(HWND mainWindow, const char* path, const ScriptEnv& env, ScriptDialogMode mode);
// What the main window does on 1026: destroys the dialog and enables itself.
void scriptDialogClose(HWND mainWindow);
// The modal PASSWORD dialog; false on Cancel.
bool scriptAskPassword(HWND owner, std::string* password);
