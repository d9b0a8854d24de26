// Local files over POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ftp/local_file.h"

LocalFile localOpenWrite(const char* path, bool truncate) {
  int f = open(path, O_WRONLY | O_CREAT | (truncate ? O_TRUNC : 0), 0644);
  return f < 0 ? LOCAL_NO_FILE : f;
}

LocalFile localOpenRead(const char* path) {
  int f = open(path, O_RDONLY);
  return f < 0 ? LOCAL_NO_FILE : f;
}

int localWriteAt(LocalFile file, int64_t offset, const uint8_t* bytes, int length) {
  while (length > 0) {
    ssize_t n = pwrite(static_cast<int>(file), bytes, static_cast<size_t>(length), offset);
    if (n <= 0) return -1;
    bytes += n;
    offset += n;
    length -= static_cast<int>(n);
  }
  return 0;
}

int localReadAt(LocalFile file, int64_t offset, uint8_t* buffer, int size) {
  ssize_t n = pread(static_cast<int>(file), buffer, static_cast<size_t>(size), offset);
  return n < 0 ? -1 : static_cast<int>(n);
}

void localClose(LocalFile file) {
  if (file != LOCAL_NO_FILE) close(static_cast<int>(file));
}

int64_t localFileSize(const char* path) {
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
}

int localChangeDir(const char* path) { return chdir(path) == 0 ? 0 : -1; }

int localCurrentDir(char* buffer, int size) { return getcwd(buffer, static_cast<size_t>(size)) ? 0 : -1; }

char localSeparator() { return '/'; }
