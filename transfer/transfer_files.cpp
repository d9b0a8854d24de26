#include "transfer/transfer_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "transfer/received_name.h"
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
  std::string base;
  if (receivedNameRule(baseName(name), &base) < 0) return XFER_FILE_OPEN;
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

namespace {
enum FileAccess { ACCESS_APPEND = 1, ACCESS_WRITE, ACCESS_READ };

// Reads come through a buffer of many blocks: one read of the disk serves a
// run of blocks. Writes go straight to the file (see the header).
constexpr size_t READ_BUFFER = 64 * 1024;

// f open for access on path: 0, or -4 when the file cannot be opened.
int useFile(TransferFile& f, const char* path, int access) {
  if (!path) return XFER_FILE_OPEN;
  if (f.stream && f.access == access && std::strcmp(f.path, path) == 0) return 0;
  fileClose(f);
  size_t length = std::strlen(path);
  if (length >= sizeof f.path) return XFER_FILE_OPEN;
  std::FILE* stream = nullptr;
  if (access == ACCESS_APPEND) {
    stream = std::fopen(path, "ab");
  } else if (access == ACCESS_WRITE) {
    stream = std::fopen(path, "r+b");
    if (!stream) stream = std::fopen(path, "w+b");
  } else {
    stream = std::fopen(path, "rb");
  }
  if (!stream) return XFER_FILE_OPEN;
  // The buffer is ours: given none, the C library picks its own, smaller size.
  f.buffer = access == ACCESS_READ ? static_cast<char*>(std::malloc(READ_BUFFER)) : nullptr;
  if (f.buffer) std::setvbuf(stream, f.buffer, _IOFBF, READ_BUFFER);
  else std::setvbuf(stream, nullptr, _IONBF, 0);
  f.stream = stream;
  f.access = access;
  f.position = 0;
  std::memcpy(f.path, path, length + 1);
  return 0;
}

// The next access at offset: a seek only when it is not where the last one ended.
bool seekTo(TransferFile& f, uint32_t offset) {
  if (f.position == offset) return true;
  if (std::fseek(f.stream, static_cast<long>(offset), SEEK_SET) != 0) return false;
  f.position = offset;
  return true;
}

int failed(TransferFile& f, int code) {
  fileClose(f);
  return code;
}
}  // namespace

int fileAppend(TransferFile& f, const char* path, const uint8_t* data, int length) {
  int r = useFile(f, path, ACCESS_APPEND);
  if (r < 0) return r;
  if (length <= 0) return 0;
  if (std::fwrite(data, 1, static_cast<size_t>(length), f.stream) != static_cast<size_t>(length))
    return failed(f, XFER_FILE_WRITE);
  return 0;
}

int fileWriteAt(TransferFile& f, const char* path, uint32_t offset, const uint8_t* data, int length) {
  int r = useFile(f, path, ACCESS_WRITE);
  if (r < 0) return r;
  if (!seekTo(f, offset)) return failed(f, XFER_FILE_WRITE);
  if (length <= 0) return 0;
  if (std::fwrite(data, 1, static_cast<size_t>(length), f.stream) != static_cast<size_t>(length))
    return failed(f, XFER_FILE_WRITE);
  f.position += static_cast<uint32_t>(length);
  return 0;
}

int fileReadAt(TransferFile& f, const char* path, uint32_t offset, uint8_t* data, int length) {
  int r = useFile(f, path, ACCESS_READ);
  if (r < 0) return r;
  if (!seekTo(f, offset)) return failed(f, XFER_FILE_READ);
  if (length <= 0) return 0;
  // A file that grows while it is sent is read on past its old end.
  std::clearerr(f.stream);
  size_t n = std::fread(data, 1, static_cast<size_t>(length), f.stream);
  if (std::ferror(f.stream)) return failed(f, XFER_FILE_READ);
  f.position += static_cast<uint32_t>(n);
  return static_cast<int>(n);
}

int fileClose(TransferFile& f) {
  if (!f.stream) return 0;
  bool written = f.access != ACCESS_READ;
  int r = std::fclose(f.stream);
  f.stream = nullptr;
  std::free(f.buffer);
  f.buffer = nullptr;
  f.path[0] = 0;
  return r != 0 && written ? XFER_FILE_WRITE : 0;
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
