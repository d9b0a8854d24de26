// "Modem Setting": the maker list, the profile editor of one maker and its
// result-code editor. Edits go into the process's profile image as they are
// typed; OK writes the whole image to the maker's file.
#include <windows.h>

#include <string>

#include "dialup/dialup_help.h"
#include "dialup/modem_dialog_ids.h"
#include "dialup/modem_dialogs_win32.h"
#include "shell/help_win32.h"
#include "shell/modem_profile.h"

namespace {

struct SlotEdit {
  int control;
  int slot;
};
const SlotEdit COMMAND_EDITS[] = {
    {IDC_MODEM_SUFFIX, SLOT_DIAL_SUFFIX}, {IDC_MODEM_PREFIX, SLOT_DIAL_PREFIX}, {IDC_MODEM_INIT, SLOT_INIT},
    {IDC_MODEM_HANGUP, SLOT_HANGUP},      {IDC_MODEM_RESET, SLOT_RESET},        {IDC_MODEM_ESCAPE, SLOT_ESCAPE},
    {IDC_MODEM_VALID_DIAL, SLOT_VALID_DIAL}};
const SlotEdit RESULT_EDITS[] = {
    {IDC_RESULT_BUSY, SLOT_RESULT_BUSY},       {IDC_RESULT_DIALTONE, SLOT_RESULT_DIALTONE},
    {IDC_RESULT_CARRIER, SLOT_RESULT_CARRIER}, {IDC_RESULT_ANSWER, SLOT_RESULT_ANSWER},
    {IDC_RESULT_TIMEOUT, SLOT_RESULT_TIMEOUT}, {IDC_RESULT_ERROR, SLOT_RESULT_ERROR},
    {IDC_RESULT_OK, SLOT_RESULT_OK},           {IDC_RESULT_CONNECT, SLOT_RESULT_CONNECT}};

// The maker being edited and the entry that takes it on OK.
struct EditorState {
  int maker;
  PhoneEntry* entry;
  bool filling;  // EN_CHANGE from filling the edits is not an edit
};

template <size_t N>
void fillEdits(HWND dialog, const SlotEdit (&edits)[N], EditorState& s) {
  s.filling = true;
  for (const SlotEdit& e : edits) {
    SendDlgItemMessageA(dialog, e.control, EM_LIMITTEXT, PROFILE_TEXT_MAX, 0);
    SetDlgItemTextA(dialog, e.control, profileSlot(currentProfile, e.slot).c_str());
  }
  s.filling = false;
}

// An edit's text goes into its slot of the image at once.
template <size_t N>
bool editChanged(HWND dialog, const SlotEdit (&edits)[N], int control) {
  for (const SlotEdit& e : edits)
    if (e.control == control) {
      char text[PROFILE_TEXT_MAX + 1] = {};
      GetDlgItemTextA(dialog, control, text, sizeof text);
      profileSetSlot(currentProfile, e.slot, text);
      return true;
    }
  return false;
}

// OK of either editor: the entry takes this maker and the whole image goes to
// the maker's file (a file that cannot be written is ignored).
void keep(EditorState& s) {
  if (s.entry) recordSetInt(s.entry->bytes, phoneField::makerIndex, s.maker);
  modemProfileSave(s.maker, currentProfile);
}

// Cancel, the Help button and context help, alike in the three dialogs.
INT_PTR commonMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, int helpButton,
                      const HelpTopic& help) {
  if (message == WM_HELP) {
    helpContextPopup(reinterpret_cast<const HELPINFO*>(lParam), help);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_MODEM_CANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  if (LOWORD(wParam) != helpButton) return FALSE;
  helpShowTopic(dialog, help);
  return TRUE;
}

template <size_t N>
INT_PTR editorMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, const SlotEdit (&edits)[N],
                      const HelpTopic& help, bool commands) {
  auto* s = reinterpret_cast<EditorState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      s = reinterpret_cast<EditorState*>(lParam);
      std::string title = modemMakerName(s->maker);
      if (!commands) title += " Result code";
      SetWindowTextA(dialog, title.c_str());
      // Both editors start from the maker's file; the result editor thereby
      // drops command edits not yet saved. No file: the image as it is.
      modemProfileLoad(s->maker, currentProfile);
      fillEdits(dialog, edits, *s);
      return TRUE;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE) {
        if (s && !s->filling) editChanged(dialog, edits, LOWORD(wParam));
        return TRUE;
      }
      switch (LOWORD(wParam)) {
        case IDC_MODEM_RESULTS:
          if (commands)
            DialogBoxParamA(GetModuleHandleA(nullptr), "MODEMRESULTCODE", dialog, mResultDlgFunc,
                            reinterpret_cast<LPARAM>(s));
          return TRUE;
        case IDC_MODEM_OK:
        case IDOK:
          keep(*s);
          EndDialog(dialog, IDOK);
          return TRUE;
      }
      break;
  }
  return commonMessage(dialog, message, wParam, lParam, IDC_MODEM_HELP, help);
}

void fillMakers(HWND list, int selected) {
  for (int i = 0; i < MODEM_MAKERS; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(modemMakerName(i)));
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}
}  // namespace

INT_PTR CALLBACK mCommDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return editorMessage(dialog, message, wParam, lParam, COMMAND_EDITS, HELP_MODEM_SETTING, true);
}

INT_PTR CALLBACK mResultDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return editorMessage(dialog, message, wParam, lParam, RESULT_EDITS, HELP_RESULT_CODE, false);
}

INT_PTR CALLBACK ModemListDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* s = reinterpret_cast<EditorState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      s = reinterpret_cast<EditorState*>(lParam);
      fillMakers(GetDlgItem(dialog, IDC_MODEM_LIST), s->maker);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_MODEM_LIST: {
          int line = static_cast<int>(SendDlgItemMessageA(dialog, IDC_MODEM_LIST, LB_GETCURSEL, 0, 0));
          if (line >= 0 && line < MODEM_MAKERS) s->maker = line;
          if (HIWORD(wParam) != LBN_DBLCLK) return TRUE;
        }
          [[fallthrough]];
        case IDC_MODEM_SELECT:
          DialogBoxParamA(GetModuleHandleA(nullptr), "MODEMDLG", dialog, mCommDlgFunc, reinterpret_cast<LPARAM>(s));
          return TRUE;
      }
      break;
  }
  return commonMessage(dialog, message, wParam, lParam, IDC_MODEM_LIST_HELP, HELP_MODEM_SETTING);
}

void modemSettingDialog(HWND owner, PhoneEntry& entry) {
  EditorState s{phoneMakerIndex(entry), &entry, false};
  DialogBoxParamA(GetModuleHandleA(nullptr), "ModemList", owner, ModemListDlgFunc, reinterpret_cast<LPARAM>(&s));
}
