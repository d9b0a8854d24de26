// The script dialogs over Win32.
#include "shell/script_dialog_win32.h"

#include "shell/pump_win32.h"
#include "shell/script_dialog_ids.h"
#include "shell/window_win32.h"

namespace {
struct DialogRun {
  HWND main = nullptr;
  HWND dialog = nullptr;
  ScriptEnv env;
  std::string path;
  ScriptDialogMode mode = SCRIPT_DIALOG_NETWORK;
  bool finished = false;
  static void setStatus(const char* text);
};
DialogRun current;

void DialogRun::setStatus(const char* text) {
  if (current.dialog) SetDlgItemTextA(current.dialog, IDC_SCRIPT_STATUS, text);
}

// Places a dialog over the middle of its owner window.
void startRun(HWND dialog) {
  ScriptEnv env = current.env;
  env.setStatus = DialogRun::setStatus;
  int result = scriptExecute(current.path.c_str(), env);
  current.finished = true;
  if (!IsWindow(dialog)) return;
  if (result == 0) SetDlgItemTextA(dialog, IDCANCEL, "OK");
  // The dial-up program waits for the user to close the dialog.
  if (current.mode == SCRIPT_DIALOG_NETWORK) PostMessageA(current.main, SCRIPT_DONE_MESSAGE, result == 0 ? 0 : 1, 0);
}

INT_PTR CALLBACK ScriptDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      current.dialog = dialog;
      centerOverOwner(dialog);
      // The run starts once the dialog is up, inside its command handler.
      PostMessageA(dialog, WM_COMMAND, IDC_SCRIPT_START, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SCRIPT_START) {
        startRun(dialog);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        if (!current.finished) {
          ScriptEnv env = current.env;
          env.setStatus = DialogRun::setStatus;
          scriptCancel(env);
        } else if (current.mode == SCRIPT_DIALOG_DIALUP) PostMessageA(current.main, SCRIPT_DONE_MESSAGE, 0, 0);
        return TRUE;
      }
      break;
    case WM_CLOSE:
      SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK PasswordDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      centerOverOwner(dialog);
      SendDlgItemMessageA(dialog, IDC_PASSWORD_EDIT, EM_LIMITTEXT, 255, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        char text[256];
        GetDlgItemTextA(dialog, IDC_PASSWORD_EDIT, text, sizeof text);
        if (!text[0]) {
          MessageBeep(0xFFFFFFFF);
          return TRUE;
        }
        *reinterpret_cast<std::string*>(GetWindowLongPtrA(dialog, DWLP_USER)) = text;
        SecureZeroMemory(text, sizeof text);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}
}  // namespace

HWND scriptRun(HWND mainWindow, const char* path, const ScriptEnv& env, ScriptDialogMode mode) {
  current = DialogRun{};
  current.main = mainWindow;
  current.env = env;
  current.path = path ? path : "";
  current.mode = mode;
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "SCRIPTDLG", mainWindow, ScriptDlgFunc, 0);
  if (!dialog) return nullptr;
  current.dialog = dialog;
  EnableWindow(mainWindow, FALSE);
  pumpSetDialog(dialog);
  return dialog;
}

void scriptDialogClose(HWND mainWindow) {
  if (current.dialog) DestroyWindow(current.dialog);
  current.dialog = nullptr;
  pumpSetDialog(nullptr);
  EnableWindow(mainWindow, TRUE);
}

bool scriptAskPassword(HWND owner, std::string* password) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), "PASSWORD", owner, PasswordDlgFunc,
                         reinterpret_cast<LPARAM>(password)) == IDOK;
}
