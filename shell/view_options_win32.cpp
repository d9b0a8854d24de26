#include "shell/view_options_win32.h"

#include "shell/settings.h"
#include "shell/shell_dialog_ids.h"

namespace {
struct ViewDialog {
  const ProgramSettings* program;
  StartupChoices choices;
  ViewOptions* options;
};

int radioFor(const StartupChoices& c, int value) {
  return value == c.book ? IDC_VIEW_START_BOOK : value == c.connect ? IDC_VIEW_START_CONNECT : IDC_VIEW_START_NONE;
}

void writeFlag(const char* name, bool oldValue, bool newValue) {
  if (oldValue != newValue) regWriteInt(name, newValue ? 1 : 0);
}

INT_PTR CALLBACK viewProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
  ViewDialog* v = reinterpret_cast<ViewDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lp);
      v = reinterpret_cast<ViewDialog*>(lp);
      const ViewOptions& o = *v->options;
      const char* labels[2] = {v->choices.bookLabel, v->choices.connectLabel};
      for (int i = 0; i < 2; ++i) {
        HWND button = GetDlgItem(dialog, i == 0 ? IDC_VIEW_START_BOOK : IDC_VIEW_START_CONNECT);
        if (!labels[i]) continue;
        if (!*labels[i]) ShowWindow(button, SW_HIDE);
        else SetWindowTextA(button, labels[i]);
      }
      CheckRadioButton(dialog, IDC_VIEW_START_BOOK, IDC_VIEW_START_NONE, radioFor(v->choices, o.startup));
      CheckDlgButton(dialog, IDC_VIEW_DISCBOX, o.disconnectBox ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(dialog, IDC_VIEW_TOOLBAR, o.toolbar ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(dialog, IDC_VIEW_STATUSBAR, o.statusbar ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(dialog, IDC_VIEW_WARNCLOSE, o.warnClose ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        ViewOptions n;
        n.startup = IsDlgButtonChecked(dialog, IDC_VIEW_START_BOOK)      ? v->choices.book
                    : IsDlgButtonChecked(dialog, IDC_VIEW_START_CONNECT) ? v->choices.connect
                                                                         : v->choices.none;
        n.disconnectBox = IsDlgButtonChecked(dialog, IDC_VIEW_DISCBOX) == BST_CHECKED;
        n.toolbar = IsDlgButtonChecked(dialog, IDC_VIEW_TOOLBAR) == BST_CHECKED;
        n.statusbar = IsDlgButtonChecked(dialog, IDC_VIEW_STATUSBAR) == BST_CHECKED;
        n.warnClose = IsDlgButtonChecked(dialog, IDC_VIEW_WARNCLOSE) == BST_CHECKED;
        const ViewOptions& o = *v->options;
        const ProgramSettings& p = *v->program;
        regWriteInt(p.bookBox, n.startup);
        writeFlag(p.discBox, o.disconnectBox, n.disconnectBox);
        writeFlag(p.toolbar, o.toolbar, n.toolbar);
        writeFlag(p.statusbar, o.statusbar, n.statusbar);
        writeFlag(p.warnClose, o.warnClose, n.warnClose);
        *v->options = n;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
}  // namespace

ViewOptions viewOptionsRead(const ProgramSettings& p, const StartupChoices& c) {
  ViewOptions o;
  o.startup = regReadInt(p.bookBox, p.bookBoxAtStartup);
  if (o.startup != c.book && o.startup != c.connect) o.startup = c.none;
  o.disconnectBox = readFlag(p.discBox, 1);
  o.toolbar = readFlag(p.toolbar, 1);
  o.statusbar = readFlag(p.statusbar, 1);
  o.warnClose = readFlag(p.warnClose, 1);
  return o;
}

bool viewOptions(HWND owner, const ProgramSettings& program, const StartupChoices& choices, ViewOptions* options) {
  ViewDialog v{&program, choices, options};
  return DialogBoxParamA(GetModuleHandleA(nullptr), "VIEW", owner, viewProc, reinterpret_cast<LPARAM>(&v)) == IDOK;
}
