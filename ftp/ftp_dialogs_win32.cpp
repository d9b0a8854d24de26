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
  char* text;
  int size;
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
      SendDlgItemMessageA(d, IDC_USER_NAME, EM_LIMITTEXT, static_cast<WPARAM>(a->size - 1), 0);
      return TRUE;
    case WM_HELP:
      helpContextPopup(reinterpret_cast<HELPINFO*>(lp), *a->help);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        GetDlgItemTextA(d, IDC_USER_NAME, a->text, a->size);
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
  a.text[0] = '\0';
  return DialogBoxParamA(GetModuleHandleA(nullptr), dialog, owner, askProc, reinterpret_cast<LPARAM>(&a)) == IDOK;
}

INT_PTR CALLBACK emailProc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_INITDIALOG: {
      char email[256];
      regReadString(SETTING_EMAIL, FTP_DEFAULT_EMAIL, email, sizeof email);
      SendDlgItemMessageA(d, IDC_EMAIL_ADDRESS, EM_LIMITTEXT, sizeof email - 1, 0);
      SetDlgItemTextA(d, IDC_EMAIL_ADDRESS, email);
      return TRUE;
    }
    case WM_HELP:
      helpContextPopup(reinterpret_cast<HELPINFO*>(lp), HELP_FTP_EMAIL);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        char email[256] = "";
        GetDlgItemTextA(d, IDC_EMAIL_ADDRESS, email, sizeof email);
        if (!email[0]) {
          MessageBeep(0);
          return TRUE;
        }
        regWriteString(SETTING_EMAIL, email);
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
}  // namespace

bool ftpAskUser(HWND owner, char* name, int size) {
  return ask(owner, "USERDIALOG", {name, size, nullptr, &HELP_FTP_USER});
}

bool ftpAskPassword(HWND owner, char* password, int size, bool* save) {
  if (save) *save = false;
  return ask(owner, "USERNAME", {password, size, save, &HELP_FTP_PASSWORD});
}

void ftpEmailDialog(HWND owner) {
  DialogBoxParamA(GetModuleHandleA(nullptr), "EMAIL", owner, emailProc, 0);
}
