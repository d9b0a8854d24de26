// The FTP window's two list views: columns, the shell's icons, the local
// directory read into three groups and the parsed remote listing, both shown
// as virtual lists so that a directory of many thousand entries appears at once.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "ftp/ftp_session.h"
#include "ftp/ftp_window_ids.h"
#include "ftp/ftp_window_state_win32.h"

namespace {
// 100 pixels each; the local date with its seconds needs a little more.
void addColumns(HWND list, int dateWidth) {
  static const char* const kTitles[] = {"file", "Size", "Date"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = i == 2 ? dateWidth : 100;
    column.pszText = const_cast<char*>(kTitles[i]);
    column.iSubItem = i;
    SendMessageA(list, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
  }
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
}

HICON smallIcon(const char* path, DWORD attributes, bool byAttributes) {
  SHFILEINFOA info{};
  UINT flags = SHGFI_ICON | SHGFI_SMALLICON | (byAttributes ? SHGFI_USEFILEATTRIBUTES : 0);
  return SHGetFileInfoA(path, attributes, &info, sizeof info, flags) ? info.hIcon : nullptr;
}

// Remote images: 0 a directory, 1 a file, 2 an entry of neither kind.
HIMAGELIST remoteImages() {
  HIMAGELIST images = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       ILC_COLOR32 | ILC_MASK, 3, 0);
  char windows[MAX_PATH] = "C:\\";
  GetWindowsDirectoryA(windows, sizeof windows);
  HICON icons[] = {smallIcon(windows, FILE_ATTRIBUTE_DIRECTORY, false),
                   smallIcon("default.ftp", FILE_ATTRIBUTE_NORMAL, true),
                   smallIcon("C:\\", FILE_ATTRIBUTE_DIRECTORY, true)};
  for (HICON icon : icons) {
    ImageList_AddIcon(images, icon ? icon : LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION));
    if (icon) DestroyIcon(icon);
  }
  return images;
}

int localIcon(int index) {
  int& icon = ftpWin.localIcons[static_cast<size_t>(index)];
  if (icon >= 0) return icon;
  const LocalItem& item = ftpWin.local[static_cast<size_t>(index)];
  // By attributes only: no floppy is touched and no file opened for its icon.
  std::string path = item.kind == LOCAL_DRIVE ? item.name : localJoin(ftpWin.localDir, item.name);
  SHFILEINFOA info{};
  DWORD attributes = item.kind == LOCAL_FILE ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY;
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES;
  icon = SHGetFileInfoA(path.c_str(), attributes, &info, sizeof info, flags) ? info.iIcon : 0;
  return icon;
}

void copyText(char* to, int size, const std::string& text) {
  if (size <= 0) return;
  size_t n = text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
  std::memcpy(to, text.data(), n);
  to[n] = '\0';
}

void displayInfo(NMLVDISPINFOA* info) {
  LVITEMA& item = info->item;
  const int index = item.iItem;
  if (info->hdr.hwndFrom == ftpWin.remoteList) {
    if (index < 0 || index >= static_cast<int>(ftpWin.remote.view.size())) return;
    const ListingEntry& e = ftpWin.remote.view[static_cast<size_t>(index)];
    if (item.mask & LVIF_IMAGE) {
      int kind = listingKindAt(ftpWin.remote, index);
      item.iImage = kind == LISTING_DIRECTORY ? 0 : kind == LISTING_FILE ? 1 : 2;
    }
    if (item.mask & LVIF_TEXT)
      copyText(item.pszText, item.cchTextMax,
               item.iSubItem == 0 ? listingShownName(e.name) : item.iSubItem == 1 ? e.size : e.date);
  } else {
    if (index < 0 || index >= static_cast<int>(ftpWin.local.size())) return;
    const LocalItem& e = ftpWin.local[static_cast<size_t>(index)];
    if (item.mask & LVIF_IMAGE) item.iImage = localIcon(index);
    if (item.mask & LVIF_TEXT) {
      std::string text = item.iSubItem == 0 ? e.name
                         : item.iSubItem == 1 ? localSizeText(e)
                         : e.kind == LOCAL_DRIVE ? std::string()
                                                 : localDateText(e.modified);
      copyText(item.pszText, item.cchTextMax, text);
    }
  }
}

std::string nameAt(HWND list, int index) {
  if (list == ftpWin.remoteList) return listingShownName(ftpWin.remote.view[static_cast<size_t>(index)].name);
  return ftpWin.local[static_cast<size_t>(index)].name;
}

// A virtual list asks its owner to find an item by its text (typing a name's
// first letters, LVM_FINDITEM): the first from the start item on, wrapping.
// Some list views ask in wide characters whatever the window's own kind.
int findItem(NMLVFINDITEMA* find, bool wide) {
  const HWND list = find->hdr.hwndFrom;
  const int count = static_cast<int>(list == ftpWin.remoteList ? ftpWin.remote.view.size() : ftpWin.local.size());
  if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz || count == 0) return -1;
  std::string wanted = find->lvfi.psz;
  if (wide) {
    char narrow[512] = "";
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(find->lvfi.psz), -1, narrow, sizeof narrow, nullptr,
                        nullptr);
    wanted = narrow;
  }
  const bool partial = (find->lvfi.flags & LVFI_PARTIAL) != 0;
  int start = find->iStart < 0 || find->iStart >= count ? 0 : find->iStart;
  for (int n = 0; n < count; ++n) {
    int i = (start + n) % count;
    if (!(find->lvfi.flags & LVFI_WRAP) && i < start) break;
    std::string name = nameAt(list, i);
    if (partial ? _strnicmp(name.c_str(), wanted.c_str(), wanted.size()) == 0 : _stricmp(name.c_str(), wanted.c_str()) == 0)
      return i;
  }
  return -1;
}

void showCount(HWND list, size_t count) {
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageA(list, LVM_SETITEMCOUNT, count, 0);
  InvalidateRect(list, nullptr, TRUE);
}
}  // namespace

void ftpViewsCreate() {
  addColumns(ftpWin.localList, 130);
  addColumns(ftpWin.remoteList, 100);
  ftpWin.remoteImages = remoteImages();
  ListView_SetImageList(ftpWin.remoteList, ftpWin.remoteImages, LVSIL_SMALL);
  SHFILEINFOA info{};
  HIMAGELIST system = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
  // The system's list is shared (LVS_SHAREIMAGELISTS): the view never frees it.
  if (system) ListView_SetImageList(ftpWin.localList, system, LVSIL_SMALL);
}

void ftpViewsDestroy() {
  if (ftpWin.remoteImages) ImageList_Destroy(ftpWin.remoteImages);
  ftpWin.remoteImages = nullptr;
  ftpWin.local.clear();
  ftpWin.localIcons.clear();
}

void ftpLocalRefresh() {
  std::vector<LocalItem> entries;
  if (localListDir(ftpWin.localDir, &entries) < 0) entries.clear();
  ftpWin.local = localViewBuild(entries, localDriveMask());
  ftpWin.localIcons.assign(ftpWin.local.size(), -1);
  if (!ftpWin.window) return;
  showCount(ftpWin.localList, ftpWin.local.size());
  ftpPathHistory(IDC_FTP_LOCAL_PATH, ftpWin.localDir);
}

bool ftpLocalEnter(const std::string& dir) {
  if (!SetCurrentDirectoryA(dir.c_str())) return false;
  char now[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof now, now);
  ftpWin.localDir = now;
  ftpLocalRefresh();
  return true;
}

void ftpRemoteShow() {
  if (ftpWin.window) showCount(ftpWin.remoteList, ftpWin.remote.view.size());
}

void ftpRemoteClear() {
  ftpWin.remote.view.clear();
  ftpWin.remote.directoryCount = ftpWin.remote.fileCount = 0;
  ftpRemoteShow();
}

std::vector<int> ftpSelectedItems(HWND list) {
  std::vector<int> items;
  for (int i = -1; (i = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
    items.push_back(i);
  return items;
}

int ftpCurrentItem(HWND list) {
  int i = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
  if (i < 0 || !(ListView_GetItemState(list, i, LVIS_SELECTED) & LVIS_SELECTED)) return -1;
  return i;
}

void ftpPathHistory(int comboId, const std::string& path) {
  HWND box = GetDlgItem(ftpWin.window, comboId);
  if (!box) return;
  LRESULT at = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), (LPARAM)path.c_str());
  if (at == CB_ERR) at = SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)path.c_str());
  SendMessageA(box, CB_SETCURSEL, at, 0);
}

LRESULT ftpViewsNotify(NMHDR* header) {
  if (header->hwndFrom != ftpWin.localList && header->hwndFrom != ftpWin.remoteList) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOA:
      displayInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
      return 0;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW:
      return findItem(reinterpret_cast<NMLVFINDITEMA*>(header), header->code == LVN_ODFINDITEMW);
    case NM_DBLCLK: {
      int item = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
      if (item < 0) return 0;
      if (header->hwndFrom == ftpWin.localList) ftpLocalActivate(item);
      else ftpRemoteActivate(item);
      return 0;
    }
    case LVN_BEGINDRAG: {
      NMLISTVIEW* drag = reinterpret_cast<NMLISTVIEW*>(header);
      ftpDragBegin(header->hwndFrom, drag->iItem, drag->ptAction);
      return 0;
    }
    default:
      return 0;
  }
}
