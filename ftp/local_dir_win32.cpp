// The local directory over FindFirstFile, with times in UTC as the file
// system keeps them.
#include <windows.h>

#include "ftp/local_view.h"

int localListDir(const std::string& dir, std::vector<LocalItem>* out) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA(localJoin(dir, "*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return -1;
  out->clear();
  do {
    LocalItem item;
    item.name = found.cFileName;
    item.kind = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? LOCAL_DIRECTORY : LOCAL_FILE;
    item.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    // 100 ns ticks since 1601 to seconds since 1970.
    uint64_t ticks = (static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                     found.ftLastWriteTime.dwLowDateTime;
    item.modified = static_cast<int64_t>(ticks / 10000000ull) - 11644473600ll;
    out->push_back(item);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  return 0;
}

uint32_t localDriveMask() { return static_cast<uint32_t>(GetLogicalDrives()); }
