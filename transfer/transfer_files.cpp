#include "transfer/transfer_files.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "transfer/transfer_codes.h"

#ifdef _WIN32
#include <io.h>
static int truncateFile(const char* path, uint32_t length) {
  FILE* f = std::fopen(path, "r+b");
  if (!f) return -1;
  int r = _chsize(_fileno(f), static_cast<long>(length));
  std::fclose(f);
  return r;
}
#else
#include <unistd.h>
static int truncateFile(const char* path, uint32_t length) { return truncate(path, static_cast<off_t>(length)); }
#endif

static bool isSeparator(char c) { return c == ':' || c == '\\' || c == '/'; }

const char* baseName(const char* path) {
  if (!path) return "";
  const char* base = path;
  for (const char* p = path; *p; ++p)
    if (isSeparator(*p)) base = p + 1;
  return base;
}

int receivedFilePath(const char* dir, const char* name, char* out, size_t outSize) {
  if (!out || outSize == 0) return XFER_FILE_OPEN;
  out[0] = 0;
  const char* base = baseName(name);
  if (!base[0] || std::strcmp(base, ".") == 0 || std::strcmp(base, "..") == 0) return XFER_FILE_OPEN;
  for (const char* p = base; *p; ++p)
    if (static_cast<unsigned char>(*p) < 0x20) return XFER_FILE_OPEN;
  std::string path;
  if (dir && dir[0]) {
    path = dir;
    if (!isSeparator(path.back())) path += PATH_SEPARATOR;
  }
  path += base;
  if (path.size() + 1 > outSize) return XFER_FILE_OPEN;
  std::memcpy(out, path.c_str(), path.size() + 1);
  return 0;
}

int fileCreate(const char* path) {
  FILE* f = path ? std::fopen(path, "wb") : nullptr;
  if (!f) return XFER_FILE_OPEN;
  return std::fclose(f) == 0 ? 0 : XFER_FILE_WRITE;
}

// Whole blocks go straight to the file: no stdio buffer to fill and copy.
static FILE* openUnbuffered(const char* path, const char* mode) {
  FILE* f = path ? std::fopen(path, mode) : nullptr;
  if (f) std::setvbuf(f, nullptr, _IONBF, 0);
  return f;
}

int fileAppend(const char* path, const uint8_t* data, int length) {
  FILE* f = openUnbuffered(path, "ab");
  if (!f) return XFER_FILE_OPEN;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  if (ok && length > 0) ok = std::fwrite(data, 1, static_cast<size_t>(length), f) == static_cast<size_t>(length);
  if (std::fclose(f) != 0) ok = false;
  return ok ? 0 : XFER_FILE_WRITE;
}

int fileWriteAt(const char* path, uint32_t offset, const uint8_t* data, int length) {
  if (!path) return XFER_FILE_OPEN;
  FILE* f = openUnbuffered(path, "r+b");
  if (!f) f = openUnbuffered(path, "w+b");
  if (!f) return XFER_FILE_OPEN;
  bool ok = std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0;
  if (ok && length > 0) ok = std::fwrite(data, 1, static_cast<size_t>(length), f) == static_cast<size_t>(length);
  if (std::fclose(f) != 0) ok = false;
  return ok ? 0 : XFER_FILE_WRITE;
}

int fileReadAt(const char* path, uint32_t offset, uint8_t* data, int length) {
  FILE* f = openUnbuffered(path, "rb");
  if (!f) return XFER_FILE_OPEN;
  int result = 0;
  if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) {
    result = XFER_FILE_READ;
  } else if (length > 0) {
    size_t n = std::fread(data, 1, static_cast<size_t>(length), f);
    result = std::ferror(f) ? XFER_FILE_READ : static_cast<int>(n);
  }
  std::fclose(f);
  return result;
}

int64_t fileSizeOf(const char* path) {
  FILE* f = path ? std::fopen(path, "rb") : nullptr;
  if (!f) return -1;
  int64_t size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
  std::fclose(f);
  return size;
}

bool fileExists(const char* path) {
  FILE* f = path ? std::fopen(path, "rb") : nullptr;
  if (!f) return false;
  std::fclose(f);
  return true;
}

int fileTruncate(const char* path, uint32_t length) {
  return path && truncateFile(path, length) == 0 ? 0 : XFER_FILE_WRITE;
}

int backupExisting(const char* path) {
  if (!path || !fileExists(path)) return 0;
  std::string backup(path);
  size_t base = static_cast<size_t>(baseName(path) - path);
  size_t dot = backup.find('.', base);
  if (dot != std::string::npos) backup.erase(dot);
  backup += ".bak";
  if (backup == path) return 0;  // the file is its own backup name: nothing to keep apart
  // An older backup gives way; when it cannot, the original must stay untouched.
  if (fileExists(backup.c_str()) && std::remove(backup.c_str()) != 0) return XFER_FILE_OPEN;
  return std::rename(path, backup.c_str()) == 0 ? 0 : XFER_FILE_OPEN;
}
