// The phonebook dialog: the list of entries, New, Edit, Copy, Delete, the
// dialing options, the batch dial list and Dial; and the copy and dialing
// options dialogs. Entries exist only as files: every change lists again.
#include "dialup/phonebook_win32.h"

#include <cstring>
#include <string>
#include <vector>

#include "dialup/dialup_dialog_ids.h"
#include "dialup/dialup_help.h"
#include "dialup/phonebook.h"
#include "frame/frame_texts.h"
#include "frame/frame_win32.h"
#include "shell/help_win32.h"
#include "shell/message_box.h"
#include "shell/message_box_win32.h"
#include "shell/message_ids.h"
#include "shell/modem_profile.h"
#include "shell/program_dir.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"

using namespace phoneField;

namespace {
struct Book {
  const PhonebookEnv* env = nullptr;
  int mode = PHONEBOOK_NOTHING;
} book;

std::vector<uint8_t> dialList;

// A dialog of the phonebook: while it is open its messages are owned by it
// (each makes itself the owner), so the focus comes back to it after them.
INT_PTR runModal(HWND owner, const char* name, DLGPROC proc, LPARAM parameter) {
  HWND previous = messageBoxOwner();
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), name, owner, proc, parameter);
  messageBoxSetOwner(previous);
  return result;
}

std::string itemText(HWND d, int id) {
  char buffer[256] = "";
  GetDlgItemTextA(d, id, buffer, sizeof buffer);
  return buffer;
}

std::string listText(HWND list, LRESULT at) {
  LRESULT n = SendMessageA(list, LB_GETTEXTLEN, at, 0);
  if (at == LB_ERR || n == LB_ERR || n > 255) return std::string();
  char buffer[256] = "";
  SendMessageA(list, LB_GETTEXT, at, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::string selectedName(HWND d) {
  HWND list = GetDlgItem(d, IDC_PB_LIST);
  return listText(list, SendMessageA(list, LB_GETCURSEL, 0, 0));
}

bool sameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }
bool isCurrent(const std::string& n) { return sameName(n, recordText(book.env->current->bytes, name)); }

int hangUpFirst() {
  messageBeep();
  messageBox(TXT_BOOK_HANG_UP_FIRST, nullptr, MSG_OK | MSG_ICONINFORMATION);
  return -1;
}

// The entry's file into entry; a missing or damaged file says so.
bool loadEntry(const std::string& n, PhoneEntry& entry) {
  PhoneEntry loaded = entry;
  if (phoneLoadEntry(n.c_str(), loaded) != static_cast<int>(PHONE_ENTRY_SIZE)) {
    messageBox(TXT_ENTRY_DAMAGED, n.c_str(), MSG_OK | MSG_ICONEXCLAMATION);
    return false;
  }
  entry = loaded;
  return true;
}

void showEntry(HWND d) {
  std::string n = selectedName(d);
  PhoneEntry e{};
  bool read = !n.empty() && phoneLoadEntry(n.c_str(), e) > 0;
  SetDlgItemTextA(d, IDC_PB_PHONE, read ? recordText(e.bytes, phoneNumber).c_str() : "");
  SetDlgItemTextA(d, IDC_PB_DESCRIPTION, read ? phoneDescription(e).c_str() : "");
}

void list(HWND d, const std::string& select = std::string()) {
  HWND box = GetDlgItem(d, IDC_PB_LIST);
  SendMessageA(box, LB_RESETCONTENT, 0, 0);
  std::vector<std::string> names = phonebookNames();
  for (const std::string& n : names) SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.c_str()));
  bool any = !names.empty();
  for (int id : {IDC_PB_DELETE, IDC_PB_OPTIONS, IDC_PB_EDIT, IDC_PB_COPY, IDC_PB_AUTOLOG, IDC_PB_DIAL})
    EnableWindow(GetDlgItem(d, id), any);
  LRESULT at = select.empty() ? LB_ERR
                              : SendMessageA(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(select.c_str()));
  if (any) SendMessageA(box, LB_SETCURSEL, at == LB_ERR ? 0 : at, 0);
  showEntry(d);
}

bool sequential(HWND d) { return IsDlgButtonChecked(d, IDC_PB_BATCH) == BST_CHECKED; }

// Dial and Autolog: the name to dial, then the entry as the current entry.
void dial(HWND d, int mode) {
  std::string n;
  if (sequential(d)) {
    HWND batch = GetDlgItem(d, IDC_PB_BATCH_LIST);
    LRESULT count = SendMessageA(batch, LB_GETCOUNT, 0, 0);
    if (count <= 0) {
      messageBeep();
      messageBox(TXT_BATCH_EMPTY, nullptr, MSG_OK | MSG_ICONINFORMATION);
      return;
    }
    std::vector<std::string> names;
    for (LRESULT i = 0; i < count; ++i) names.push_back(listText(batch, i));
    dialList = batchDialBlock(names);
    n = names.front();
  } else {
    n = selectedName(d);
  }
  if (n.empty()) return;
  if (book.env->connected() && !isCurrent(n)) {
    hangUpFirst();
    return;
  }
  if (mode == PHONEBOOK_AUTOLOG && !sequential(d)) {
    std::string script = programPath(n + ".scr");
    if (GetFileAttributesA(script.c_str()) == INVALID_FILE_ATTRIBUTES) {
      messageBeep();
      messageBox(TXT_SCRIPT_NOT_FOUND, nullptr, MSG_OK | MSG_ICONINFORMATION);
      return;
    }
  }
  if (!loadEntry(n, *book.env->current)) return;
  modemProfileLoad(phoneMakerIndex(*book.env->current), currentProfile);
  book.mode = mode;
  EndDialog(d, mode);
}

// New and Edit: the configuration sheet over a working entry; an edit of the
// current entry takes effect in the session too.
void editEntry(HWND d, bool newEntry) {
  PhoneEntry work;
  std::string n = selectedName(d);
  if (newEntry) {
    phoneLoadTemplate(*book.env->templ);
    work = *book.env->templ;
  } else {
    work = *book.env->current;
    if (!loadEntry(n, work)) return;
    modemProfileLoad(phoneMakerIndex(work), currentProfile);
  }
  if (configSheet(d, DIALUP_SHEET, work.bytes, CONFIG_SERVICE, newEntry) == IDOK) {
    if (!newEntry && isCurrent(n)) {
      *book.env->current = work;
      frameRecordChanged();
    }
    n = recordText(work.bytes, name);
  }
  list(d, n);
}

void command(HWND d, int id, int code) {
  const PhonebookEnv& env = *book.env;
  std::string n = selectedName(d);
  switch (id) {
    case IDC_PB_LIST:
      if (code == LBN_SELCHANGE) showEntry(d);
      if (code != LBN_DBLCLK) return;
      if (!sequential(d)) return dial(d, PHONEBOOK_DIAL);
      if (!n.empty()) {
        SendDlgItemMessageA(d, IDC_PB_BATCH_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.c_str()));
        EnableWindow(GetDlgItem(d, IDC_PB_REMOVE), TRUE);
      }
      return;
    case IDC_PB_DIAL: return dial(d, PHONEBOOK_DIAL);
    case IDC_PB_AUTOLOG:
      if (env.connected()) hangUpFirst();
      else dial(d, PHONEBOOK_AUTOLOG);
      return;
    case IDC_PB_NEW:
      if (env.connected()) hangUpFirst();
      else editEntry(d, true);
      return;
    case IDC_PB_EDIT:
      if (n.empty()) return;
      if (env.connected() && !isCurrent(n)) hangUpFirst();
      else editEntry(d, false);
      return;
    case IDC_PB_DELETE:
      if (n.empty()) return;
      messageBeep();
      if (messageBox(TXT_BOOK_DELETE_ASK, nullptr, MSG_YESNO | MSG_ICONQUESTION) != ANSWER_YES) return;
      entryFileDelete(PHONE_BOOK, n.c_str());
      list(d);
      return;
    case IDC_PB_OPTIONS:
      if (n.empty()) return;
      if (env.connected() && !isCurrent(n)) hangUpFirst();
      else if (loadEntry(n, *env.current))
        runModal(d, "DIALOPTION", DialOptDlgFunc,
                        reinterpret_cast<LPARAM>(env.current));
      list(d, n);
      return;
    case IDC_PB_COPY:
      if (n.empty()) return;
      if (env.connected()) hangUpFirst();
      else if (loadEntry(n, *env.current) &&
               runModal(d, "COPYOPTION", CopyDlgFunc,
                               reinterpret_cast<LPARAM>(env.current)) == 1)
        list(d, recordText(env.current->bytes, name));
      return;
    case IDC_PB_BATCH: {
      bool on = sequential(d);
      if (!on) {
        SendDlgItemMessageA(d, IDC_PB_BATCH_LIST, LB_RESETCONTENT, 0, 0);
        EnableWindow(GetDlgItem(d, IDC_PB_REMOVE), FALSE);
      }
      regWriteInt(SETTING_SEQDIAL, on ? 1 : 0);
      return;
    }
    case IDC_PB_REMOVE: {
      HWND batch = GetDlgItem(d, IDC_PB_BATCH_LIST);
      LRESULT at = SendMessageA(batch, LB_GETCURSEL, 0, 0);
      if (at == LB_ERR) return;
      LRESULT left = SendMessageA(batch, LB_DELETESTRING, at, 0);
      if (left > 0) SendMessageA(batch, LB_SETCURSEL, at > 0 ? at - 1 : 0, 0);
      EnableWindow(GetDlgItem(d, IDC_PB_REMOVE), left > 0);
      return;
    }
    case IDC_PB_CLOSE:
    case IDCANCEL:
      dialList.clear();
      book.mode = PHONEBOOK_NOTHING;
      EndDialog(d, PHONEBOOK_NOTHING);
      return;
    case IDC_PB_HELP: helpShowTopic(d, HELP_PHONEBOOK); return;
    default: return;
  }
}
}  // namespace

INT_PTR CALLBACK PhoneDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_INITDIALOG:
      messageBoxSetOwner(d);
      CheckDlgButton(d, IDC_PB_BATCH, regReadInt(SETTING_SEQDIAL, SEQDIAL_DEFAULT) == 1 ? BST_CHECKED : BST_UNCHECKED);
      EnableWindow(GetDlgItem(d, IDC_PB_REMOVE), FALSE);
      list(d);
      return TRUE;
    case WM_COMMAND:
      command(d, LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_HELP:
      helpContextPopup(reinterpret_cast<const HELPINFO*>(lp), HELP_PHONEBOOK);
      return TRUE;
    default: return FALSE;
  }
}

int phonebookDialog(HWND owner, const PhonebookEnv& env) {
  book.env = &env;
  book.mode = PHONEBOOK_NOTHING;
  INT_PTR r = runModal(owner, "PHONEDIALOG", PhoneDlgFunc, 0);
  return r < 0 ? PHONEBOOK_NOTHING : book.mode;
}

const std::vector<uint8_t>& phonebookDialList() { return dialList; }

// --- Copy to a New Service ---------------------------------------------------

namespace {
struct CopyState {
  PhoneEntry* entry = nullptr;
  PhoneEntry kept;
  bool filling = false;
} copyState;
}  // namespace

INT_PTR CALLBACK CopyDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  CopyState& c = copyState;
  switch (m) {
    case WM_INITDIALOG:
      messageBoxSetOwner(d);
      c.entry = reinterpret_cast<PhoneEntry*>(lp);
      c.kept = *c.entry;
      c.filling = true;
      SendDlgItemMessageA(d, IDC_COPY_SERVICE, EM_LIMITTEXT, PHONE_NAME_MAX, 0);
      SendDlgItemMessageA(d, IDC_COPY_PHONE, EM_LIMITTEXT, PHONE_NUMBER_MAX, 0);
      SendDlgItemMessageA(d, IDC_COPY_PREFIX, EM_LIMITTEXT, PHONE_PREFIX_MAX, 0);
      SetDlgItemTextA(d, IDC_COPY_SERVICE, recordText(c.entry->bytes, name).c_str());
      SetDlgItemTextA(d, IDC_COPY_PHONE, recordText(c.entry->bytes, phoneNumber).c_str());
      SetDlgItemTextA(d, IDC_COPY_PREFIX, recordText(c.entry->bytes, phonePrefix).c_str());
      c.filling = false;
      return TRUE;
    case WM_HELP:
      helpContextPopup(reinterpret_cast<const HELPINFO*>(lp), HELP_PHONE_COPY);
      return TRUE;
    case WM_COMMAND: {
      int id = LOWORD(wp);
      if (HIWORD(wp) == EN_CHANGE && !c.filling) {
        // The edits change the entry as they are typed.
        const FieldSpec* field = id == IDC_COPY_SERVICE ? &name : id == IDC_COPY_PHONE ? &phoneNumber
                                 : id == IDC_COPY_PREFIX ? &phonePrefix : nullptr;
        if (field) recordSetText(c.entry->bytes, *field, itemText(d, id).c_str());
        return TRUE;
      }
      if (id == IDOK) {
        if (phoneValidateWithProfile(*c.entry) == 0 && phoneSaveEntry(*c.entry) == 0) EndDialog(d, 1);
        return TRUE;
      }
      if (id == IDCANCEL) {
        *c.entry = c.kept;
        EndDialog(d, 0);
        return TRUE;
      }
      if (id == IDC_PB_HELP) helpShowTopic(d, HELP_PHONE_COPY);
      return TRUE;
    }
    default: return FALSE;
  }
}

// --- Dialing Options ---------------------------------------------------------

INT_PTR CALLBACK DialOptDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  static PhoneEntry* entry = nullptr;
  switch (m) {
    case WM_INITDIALOG:
      messageBoxSetOwner(d);
      entry = reinterpret_cast<PhoneEntry*>(lp);
      SendDlgItemMessageA(d, IDC_DIALOPT_RETRY, EM_LIMITTEXT, 3, 0);
      SendDlgItemMessageA(d, IDC_DIALOPT_TIMEOUT, EM_LIMITTEXT, 3, 0);
      SetDlgItemTextA(d, IDC_DIALOPT_RETRY, std::to_string(recordInt(entry->bytes, retryCount)).c_str());
      SetDlgItemTextA(d, IDC_DIALOPT_TIMEOUT, std::to_string(recordInt(entry->bytes, timeout)).c_str());
      return TRUE;
    case WM_HELP:
      helpContextPopup(reinterpret_cast<const HELPINFO*>(lp), HELP_DIAL_OPTIONS);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK: {
          bool refused = false, refusedToo = false;
          int retry = dialOptionValue(itemText(d, IDC_DIALOPT_RETRY), static_cast<int>(recordInt(entry->bytes, retryCount)), &refused);
          int wait = dialOptionValue(itemText(d, IDC_DIALOPT_TIMEOUT), static_cast<int>(recordInt(entry->bytes, timeout)), &refusedToo);
          if (refused || refusedToo) messageBeep();
          recordSetInt(entry->bytes, retryCount, retry);
          recordSetInt(entry->bytes, timeout, wait);
          phoneSaveEntry(*entry);
          EndDialog(d, IDOK);
          return TRUE;
        }
        case IDCANCEL: EndDialog(d, IDCANCEL); return TRUE;
        case IDC_PB_HELP: helpShowTopic(d, HELP_DIAL_OPTIONS); return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}
