#include "shell/book_dialog_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "shell/book_dialog_ids.h"
#include "shell/help_win32.h"
#include "shell/message_box.h"
#include "shell/message_box_win32.h"
#include "shell/message_ids.h"

namespace {
constexpr int COLUMN_WIDTH = 120;

struct Book {
  const BookEnv* env = nullptr;
  HWND dialog = nullptr;
  HWND list = nullptr;
  std::vector<BookRow> rows;
  int current = -1;  // row of the current name, -1 with none
};

// The copy dialog works on a record of its own; the source entry is never
// written by it.
struct Copy {
  const BookEnv* env;
  std::vector<uint8_t> record;
};

// Runs a dialog of ours; its messages belong to it while it is open (each
// dialog makes itself the owner when it starts), so they come back to it.
INT_PTR runModal(HWND owner, const char* name, DLGPROC proc, LPARAM parameter) {
  HWND previous = messageBoxOwner();
  HINSTANCE instance = owner ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE))
                             : GetModuleHandleA(nullptr);
  INT_PTR result = DialogBoxParamA(instance, name, owner, proc, parameter);
  messageBoxSetOwner(previous);
  return result;
}

bool refusedOnline(const BookEnv& env) {
  if (!env.online || !env.online()) return false;
  messageBox(TXT_BOOK_HANG_UP_FIRST, nullptr, MSG_OK | MSG_ICONINFORMATION);
  return true;
}

// Reads the row's file whole; a file that went away or changed size since the
// listing gives -1.
int loadRow(const Book& b, int row, uint8_t* record) {
  if (row < 0 || row >= static_cast<int>(b.rows.size())) return -1;
  const size_t size = b.env->view.kind->recordSize;
  std::error_code ec;
  if (std::filesystem::file_size(b.rows[row].path, ec) != size || ec) return -1;
  return recordFileRead(b.rows[row].path, record, size) == static_cast<int>(size) ? 0 : -1;
}

void enableSelectionButtons(const Book& b, bool on) {
  for (int id : {IDOK, IDC_BOOK_EDIT, IDC_BOOK_COPY, IDC_BOOK_DELETE, IDC_BOOK_OPEN})
    EnableWindow(GetDlgItem(b.dialog, id), on);
}

// Lists the book again; the entry at keepPath stays selected when it is
// still there, else the first one is.
void listAgain(Book& b, const std::string& keepPath) {
  ListView_DeleteAllItems(b.list);
  b.rows = bookRows(b.env->view);
  int select = 0;
  for (size_t i = 0; i < b.rows.size(); ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(b.rows[i].name.c_str());
    item.iImage = 0;
    int at = ListView_InsertItem(b.list, &item);
    ListView_SetItemText(b.list, at, 1, const_cast<char*>(b.rows[i].address.c_str()));
    ListView_SetItemText(b.list, at, 2, const_cast<char*>(b.rows[i].port.c_str()));
    if (!keepPath.empty() && b.rows[i].path == keepPath) select = static_cast<int>(i);
  }
  b.current = b.rows.empty() ? -1 : select;
  enableSelectionButtons(b, !b.rows.empty());
  // A button that was just disabled (Delete of the last entry) leaves the
  // keyboard nowhere: New is what an empty book offers.
  HWND focus = GetFocus();
  if (!focus || !IsWindowEnabled(focus))
    SendMessageA(b.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(b.dialog, IDC_BOOK_NEW)), TRUE);
  if (b.current >= 0) {
    ListView_SetItemState(b.list, b.current, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(b.list, b.current, FALSE);
  }
}

std::string currentPath(const Book& b) { return b.current >= 0 ? b.rows[b.current].path : std::string(); }

void initList(Book& b) {
  b.list = GetDlgItem(b.dialog, IDC_BOOK_LIST);
  ListView_SetExtendedListViewStyle(b.list, LVS_EX_FULLROWSELECT);
  static const char* const titles[] = {"Name", "Internet Address", "Port"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = COLUMN_WIDTH;
    column.pszText = const_cast<char*>(titles[i]);
    column.iSubItem = i;
    ListView_InsertColumn(b.list, i, &column);
  }
  // The shell's small icon for files of the book's type, in an image list of
  // our own so that it is the first image whatever the system list holds.
  SHFILEINFOA info{};
  std::string sample = std::string("default") + b.env->view.kind->extension;
  if (SHGetFileInfoA(sample.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                     SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon) {
    HIMAGELIST images = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                         ILC_COLOR32 | ILC_MASK, 1, 0);
    ImageList_AddIcon(images, info.hIcon);
    DestroyIcon(info.hIcon);
    // Without LVS_SHAREIMAGELISTS the list view would free it; the style is set, so we do.
    SetPropA(b.dialog, "BookImages", images);
    ListView_SetImageList(b.list, images, LVSIL_SMALL);
  }
}

INT_PTR CALLBACK copyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Copy* c = reinterpret_cast<Copy*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      c = reinterpret_cast<Copy*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      messageBoxSetOwner(dialog);
      const BookView& v = c->env->view;
      SendDlgItemMessageA(dialog, IDC_COPY_NAME, EM_LIMITTEXT, v.kind->nameField.size - 1u, 0);
      SendDlgItemMessageA(dialog, IDC_COPY_ADDRESS, EM_LIMITTEXT, v.address.size - 1u, 0);
      SetDlgItemTextA(dialog, IDC_COPY_NAME, recordText(c->record.data(), v.kind->nameField).c_str());
      SetDlgItemTextA(dialog, IDC_COPY_ADDRESS, recordText(c->record.data(), v.address).c_str());
      return TRUE;
    }
    case WM_HELP:
      helpContextPopup(reinterpret_cast<HELPINFO*>(lParam), *c->env->copyHelp);
      return TRUE;
    case WM_COMMAND: {
      const BookView& v = c->env->view;
      int id = LOWORD(wParam);
      if (HIWORD(wParam) == EN_CHANGE && (id == IDC_COPY_NAME || id == IDC_COPY_ADDRESS)) {
        // The record follows the edits as they are typed.
        char text[1100] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        recordSetText(c->record.data(), id == IDC_COPY_NAME ? v.kind->nameField : v.address, text);
        return TRUE;
      }
      if (id == IDOK) {
        if (c->env->validate(c->record.data()) == 0 && c->env->save(c->record.data()) == 0) EndDialog(dialog, 1);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      if (id == IDC_BOOK_HELP) {
        helpShowTopic(dialog, *c->env->copyHelp);
        return TRUE;
      }
      break;
    }
  }
  return FALSE;
}

void connectCurrent(Book& b, int result = 1) {
  if (b.current < 0 || refusedOnline(*b.env)) return;
  std::vector<uint8_t> record(b.env->view.kind->recordSize);
  if (loadRow(b, b.current, record.data()) != 0) {
    listAgain(b, std::string());  // the file went away meanwhile
    return;
  }
  memcpy(b.env->session, record.data(), record.size());
  EndDialog(b.dialog, result);
}

void command(Book& b, int id) {
  const BookEnv& env = *b.env;
  const size_t size = env.view.kind->recordSize;
  std::vector<uint8_t> record(size);
  switch (id) {
    case IDOK: connectCurrent(b); break;
    case IDC_BOOK_OPEN: connectCurrent(b, 2); break;
    case IDC_BOOK_NEW:
      if (refusedOnline(env)) break;
      env.reloadTemplate();
      memcpy(record.data(), env.templ, size);
      env.editEntry(b.dialog, record.data(), true);
      listAgain(b, currentPath(b));
      break;
    case IDC_BOOK_EDIT:
      if (b.current < 0) break;
      if (loadRow(b, b.current, record.data()) == 0) env.editEntry(b.dialog, record.data(), false);
      listAgain(b, currentPath(b));
      break;
    case IDC_BOOK_COPY: {
      if (b.current < 0 || refusedOnline(env)) break;
      Copy copy{&env, std::vector<uint8_t>(size)};
      if (loadRow(b, b.current, copy.record.data()) == 0)
        runModal(b.dialog, "INTERNETCOPY", copyProc, reinterpret_cast<LPARAM>(&copy));
      listAgain(b, currentPath(b));
      break;
    }
    case IDC_BOOK_DELETE:
      if (b.current < 0) break;
      messageBeep();
      if (messageBox(TXT_BOOK_DELETE_ASK, nullptr, MSG_YESNO | MSG_ICONQUESTION) == ANSWER_YES) {
        std::error_code ec;
        std::filesystem::remove(b.rows[b.current].path, ec);
        listAgain(b, std::string());
      }
      break;
    case IDCANCEL: EndDialog(b.dialog, 0); break;
    case IDC_BOOK_HELP: helpShowTopic(b.dialog, *env.bookHelp); break;
  }
}

INT_PTR CALLBACK bookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Book* b = reinterpret_cast<Book*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      b = reinterpret_cast<Book*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      b->dialog = dialog;
      messageBoxSetOwner(dialog);
      SetWindowTextA(dialog, b->env->title);
      if (b->env->openButton) ShowWindow(GetDlgItem(dialog, IDC_BOOK_OPEN), SW_SHOW);
      initList(*b);
      listAgain(*b, std::string());
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->idFrom != IDC_BOOK_LIST) break;
      if (hdr->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uNewState & LVIS_SELECTED) && change->iItem >= 0 &&
            change->iItem < static_cast<int>(b->rows.size()))
          b->current = change->iItem;
      } else if (hdr->code == NM_DBLCLK) {
        const NMITEMACTIVATE* click = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        if (click->iItem >= 0 && click->iItem < static_cast<int>(b->rows.size())) {
          b->current = click->iItem;
          connectCurrent(*b);
        }
      }
      return TRUE;
    }
    case WM_HELP:
      helpContextPopup(reinterpret_cast<HELPINFO*>(lParam), *b->env->bookHelp);
      return TRUE;
    case WM_COMMAND:
      command(*b, LOWORD(wParam));
      return TRUE;
    case WM_DESTROY:
      if (HIMAGELIST images = static_cast<HIMAGELIST>(RemovePropA(dialog, "BookImages"))) ImageList_Destroy(images);
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK quickProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const BookEnv* env = reinterpret_cast<const BookEnv*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      env = reinterpret_cast<const BookEnv*>(lParam);
      messageBoxSetOwner(dialog);
      SendDlgItemMessageA(dialog, IDC_QUICK_ADDRESS, EM_LIMITTEXT, env->view.address.size - 1u, 0);
      SendDlgItemMessageA(dialog, IDC_QUICK_PORT, EM_LIMITTEXT, 5, 0);
      return TRUE;
    case WM_HELP:
      helpContextPopup(reinterpret_cast<HELPINFO*>(lParam), *env->quickHelp);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          char address[1100] = "", port[16] = "";
          GetDlgItemTextA(dialog, IDC_QUICK_ADDRESS, address, sizeof address);
          GetDlgItemTextA(dialog, IDC_QUICK_PORT, port, sizeof port);
          std::vector<uint8_t> record(env->view.kind->recordSize);
          int built = quickConnectEntry(env->view, env->templ, address, port, record.data());
          if (built < 0) {
            messageBeep();
            return TRUE;
          }
          // Every quick connection leaves its entry in the book; one that
          // cannot be saved (a name no file can have) is refused here. An
          // entry the user saved is not rewritten by a typed port: a refused
          // quick connection once left it pointing at the wrong port.
          if (built == 0 && env->save(record.data()) != 0) return TRUE;
          memcpy(env->session, record.data(), record.size());
          EndDialog(dialog, built == 0 ? 1 : 2);
          return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        case IDC_BOOK_HELP: helpShowTopic(dialog, *env->quickHelp); return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

int bookDialog(HWND owner, const BookEnv& env) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  Book b;
  b.env = &env;
  INT_PTR result = runModal(owner, "INTERNETBOOK", bookProc, reinterpret_cast<LPARAM>(&b));
  return result == 1 || result == 2 ? static_cast<int>(result) : 0;
}

int quickConnectDialog(HWND owner, const BookEnv& env) {
  INT_PTR result = runModal(owner, "QuickConnect", quickProc, reinterpret_cast<LPARAM>(&env));
  return result == 1 || result == 2 ? static_cast<int>(result) : 0;
}
