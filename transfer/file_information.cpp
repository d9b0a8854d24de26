#include "transfer/file_information.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

int zmodemFileInformation(const char* path, const char* name, uint32_t size, uint8_t* out, int room) {
  unsigned long modified = 0;
  unsigned mode = 0;
  struct stat st;
  if (path && stat(path, &st) == 0) {
    modified = st.st_mtime > 0 ? static_cast<unsigned long>(st.st_mtime) : 0;
    // Without a date the receiver took whatever it held from the last file;
    // a file never becomes writable by others on the far side because the C
    // runtime here gives every reader the owner's rights.
    mode = static_cast<unsigned>(st.st_mode) & ~022u;
  }
  int nameLength = static_cast<int>(std::strlen(name));
  if (nameLength + 1 >= room) return -1;
  std::memcpy(out, name, static_cast<size_t>(nameLength) + 1);
  char* rest = reinterpret_cast<char*>(out) + nameLength + 1;
  int restRoom = room - nameLength - 1;
  int n = std::snprintf(rest, static_cast<size_t>(restRoom), "%lu %lo %o", static_cast<unsigned long>(size), modified,
                        mode);
  if (n < 0 || n >= restRoom) return -1;
  return nameLength + 1 + n + 1;
}
