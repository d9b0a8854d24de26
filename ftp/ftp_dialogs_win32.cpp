// The login's dialogs (USERDIALOG asks for the user name, USERNAME for the
// password with "Save Password") and the e-mail address of anonymous logins.
#include <windows.h>

#include <string>

#include "ftp/ftp_help.h"
#include "ftp/ftp_ids.h"
#include "ftp/ftp_program_win32.h"
#include "shell/help_win32.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "ftp/ftp_session.h"

namespace {
struct Ask {
  char* text;  // shown at first, the answer on OK
  int size;
  int field;   // the edit control
  bool* save;  // USERNAME's check box, or nullptr
  const HelpTopic* help;
};

// OK with an empty field only beeps: the dialog stays until a text or Cancel.
INT_PTR CALLBACK askProc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  Ask* a = reinterpret_cast<Ask*>(GetWindowLongPtrA(d, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(d, DWLP_USER, lp);
      a = reinterpret_cast<Ask*>(lp);
      SendDlgItemMessageA(d, a->field, EM_LIMITTEXT, static_cast<WPARAM>(a->size - 1), 0);
      SetDlgItemTextA(d, a->field, a->text);
      return TRUE;
    case WM_HELP:
      helpContextPopup(reinterpret_cast<HELPINFO*>(lp), *a->help);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        GetDlgItemTextA(d, a->field, a->text, a->size);
        if (!a->text[0]) {
          MessageBeep(0);
          return TRUE;
        }
        if (a->save) *a->save = IsDlgButtonChecked(d, IDC_USER_SAVE_PASSWORD) == BST_CHECKED;
        EndDialog(d, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(d, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

bool ask(HWND owner, const char* dialog, Ask a) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), dialog, owner, askProc, reinterpret_cast<LPARAM>(&a)) == IDOK;
}
}  // namespace

bool ftpAskUser(HWND owner, char* name, int size) {
  name[0] = '\0';
  return ask(owner, "USERDIALOG", {name, size, IDC_USER_NAME, nullptr, &HELP_FTP_USER});
}

bool ftpAskPassword(HWND owner, char* password, int size, bool* save) {
  if (save) *save = false;
  password[0] = '\0';
  return ask(owner, "USERNAME", {password, size, IDC_USER_PASSWORD, save, &HELP_FTP_PASSWORD});
}

void ftpEmailDialog(HWND owner) {
  char email[256];
  regReadString(SETTING_EMAIL, FTP_DEFAULT_EMAIL, email, sizeof email);
  if (ask(owner, "EMAIL", {email, sizeof email, IDC_EMAIL_ADDRESS, nullptr, &HELP_FTP_EMAIL}))
    regWriteString(SETTING_EMAIL, email);
}
