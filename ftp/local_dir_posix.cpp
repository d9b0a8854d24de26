// The local directory on the host build: the tools and tests list real
// directories the same way the window does.
#include <dirent.h>
#include <sys/stat.h>

#include "ftp/local_view.h"

int localListDir(const std::string& dir, std::vector<LocalItem>* out) {
  DIR* d = opendir(dir.c_str());
  if (!d) return -1;
  out->clear();
  while (dirent* e = readdir(d)) {
    LocalItem item;
    item.name = e->d_name;
    struct stat st{};
    if (stat(localJoin(dir, item.name).c_str(), &st) != 0) continue;
    item.kind = S_ISDIR(st.st_mode) ? LOCAL_DIRECTORY : LOCAL_FILE;
    item.size = item.kind == LOCAL_FILE ? static_cast<uint64_t>(st.st_size) : 0;
    item.modified = st.st_mtime;
    out->push_back(item);
  }
  closedir(d);
  return 0;
}

uint32_t localDriveMask() { return 0; }
