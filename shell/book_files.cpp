#include "shell/book_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/program_dir.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace fs = std::filesystem;

namespace {
bool sameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

bool hasExtension(const std::string& file, const char* extension) {
  size_t n = strlen(extension);
  return file.size() > n && sameNoCase(file.substr(file.size() - n), extension);
}

// Names the platform reserves for devices, with or without an extension.
bool isDeviceName(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$"};
  for (const char* d : devices)
    if (sameNoCase(stem, d)) return true;
  if (stem.size() < 4 || !(sameNoCase(stem.substr(0, 3), "COM") || sameNoCase(stem.substr(0, 3), "LPT")))
    return false;
  // COM1 to COM9, and COM1 to COM3 written with a superscript digit, which
  // Windows also takes as the port: in the ANSI code page (B9, B2, B3) or in
  // UTF-8 (C2 B9, C2 B2, C2 B3).
  std::string digit = stem.substr(3);
  if (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') return true;
  for (const char* super : {"\xB9", "\xB2", "\xB3", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"})
    if (digit == super) return true;
  return false;
}

// Follows the chain of symbolic links at path (a bounded number of hops), so
// a save replaces the file a linked entry points to and the link stays.
fs::path linkTarget(const std::string& path) {
  fs::path p(path);
  std::error_code ec;
  for (int hops = 0; hops < 32 && fs::is_symlink(p, ec); ++hops) {
    fs::path to = fs::read_symlink(p, ec);
    if (ec) break;
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  return p;
}

// Creates a new file next to target under a name no one can guess; the
// exclusive create never opens a file or link that is already there.
int createTemporary(const fs::path& target, int mode, std::string* name) {
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    snprintf(suffix, sizeof suffix, ".%08x%08x.tmp", static_cast<unsigned>(random()), static_cast<unsigned>(random()));
    *name = target.string() + suffix;
    int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The files of the program directory, skipping any the platform cannot name.
template <typename Visit>
void forEachFile(Visit visit) {
  std::error_code ec;
  fs::directory_iterator it(programDir(), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string file;
    try {
      file = it->path().filename().string();
    } catch (...) {
      continue;
    }
    if (!visit(*it, file)) return;
  }
}
}  // namespace

bool isValidEntryName(const char* name) {
  if (!name || !*name) return false;
  for (const char* p = name; *p; ++p) {
    unsigned char c = *p;
    if (c < 32 || strchr("<>:\"/\\|?*", c)) return false;
  }
  char last = name[strlen(name) - 1];
  if (last == ' ' || last == '.') return false;
  return !isDeviceName(name);
}

std::string entryFilePath(const BookKind& kind, const char* name) {
  if (!isValidEntryName(name)) return std::string();
  std::string wanted = std::string(name) + kind.extension;
  std::string found;
  forEachFile([&](const fs::directory_entry&, const std::string& file) {
    if (!sameNoCase(file, wanted)) return true;
    found = file;
    return false;
  });
  return programPath(found.empty() ? std::string(name) + kind.writtenExtension : found);
}

int recordFileRead(const std::string& path, uint8_t* record, size_t size) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return -1;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return -1;
  size_t n = fread(record, 1, size, f);
  fclose(f);
  return static_cast<int>(n);
}

int recordFileWrite(const std::string& path, const uint8_t* record, size_t size) {
  const fs::path target = linkTarget(path);
  std::error_code ec;
  fs::file_status original = fs::status(target, ec);
  const bool replacing = !ec && fs::exists(original);
  ec.clear();
  // A replaced file keeps its permissions (an FTP entry may hold a password);
  // until they are set the new file is private.
  std::string temporary;
  int fd = createTemporary(target, replacing ? 0600 : 0666, &temporary);
  if (fd < 0) return -1;
  bool ok = true;
  for (size_t done = 0; ok && done < size;) {
    auto n = write(fd, record + done, static_cast<unsigned>(size - done));
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  ok = close(fd) == 0 && ok;
  if (ok && replacing) fs::permissions(temporary, original.permissions(), ec);
  if (ok && !ec) fs::rename(temporary, target, ec);
  if (!ok || ec) {
    fs::remove(temporary, ec);
    return -1;
  }
  return 0;
}

int entryFileRead(const BookKind& kind, const char* name, uint8_t* record) {
  std::string path = entryFilePath(kind, name);
  return path.empty() ? -1 : recordFileRead(path, record, kind.recordSize);
}

int entryFileWrite(const BookKind& kind, const uint8_t* record) {
  std::string name = recordText(record, kind.nameField);
  std::string path = entryFilePath(kind, name.c_str());
  if (path.empty()) return -1;
  return recordFileWrite(path, record, kind.recordSize);
}

int entrySave(const BookKind& kind, const uint8_t* record, int messageId) {
  if (entryFileWrite(kind, record) == 0) return 0;
  messageBeep();
  messageBoxTitled(messageId, nullptr, SAVE_ERROR_TITLE, MSG_OK | MSG_ICONINFORMATION);
  return -1;
}

int entryFileDelete(const BookKind& kind, const char* name) {
  std::string path = entryFilePath(kind, name);
  std::error_code ec;
  return !path.empty() && fs::remove(path, ec) && !ec ? 0 : -1;
}

std::vector<ListedEntry> entryList(const BookKind& kind) {
  std::vector<ListedEntry> entries;
  forEachFile([&](const fs::directory_entry& e, const std::string& file) {
    std::error_code ec;
    if (!hasExtension(file, kind.extension) || !e.is_regular_file(ec) || e.file_size(ec) != kind.recordSize || ec)
      return true;
    ListedEntry listed{e.path().string(), std::vector<uint8_t>(kind.recordSize, 0)};
    if (recordFileRead(listed.path, listed.record.data(), kind.recordSize) == static_cast<int>(kind.recordSize))
      entries.push_back(std::move(listed));
    return true;
  });
  return entries;
}

std::vector<std::string> entryNames(const BookKind& kind, bool* stopped) {
  std::vector<std::string> names;
  if (stopped) *stopped = false;
  std::vector<uint8_t> record(kind.recordSize);
  forEachFile([&](const fs::directory_entry& e, const std::string& file) {
    std::error_code ec;
    if (!hasExtension(file, kind.extension) || e.is_directory(ec)) return true;
    // Each file starts from zeros: a short one must not show the previous name.
    std::fill(record.begin(), record.end(), 0);
    if (recordFileRead(e.path().string(), record.data(), kind.recordSize) < 0) {
      if (stopped) *stopped = true;
      return false;
    }
    std::string name = recordText(record.data(), kind.nameField);
    if (!name.empty()) names.push_back(name);
    return true;
  });
  return names;
}

int entryLoadTemplate(const BookKind& kind, const char* fileName, const uint8_t* defaults, uint8_t* record) {
  std::string stem(fileName);
  stem = stem.substr(0, stem.size() - strlen(kind.extension));
  // An existing template of any case is used and, when it is bad, replaced.
  std::string path = entryFilePath(kind, stem.c_str());
  std::error_code ec;
  if (!fs::exists(path, ec)) path = programPath(fileName);
  if (fs::file_size(path, ec) == kind.recordSize && !ec) {
    if (recordFileRead(path, record, kind.recordSize) == static_cast<int>(kind.recordSize)) return 0;
    // The user's template is there but cannot be read now (permissions, a
    // lock): it is kept, and this session makes do with the defaults.
    memcpy(record, defaults, kind.recordSize);
    messageBoxTitled(TXT_TEMPLATE_UNREADABLE, fileName, TEMPLATE_WARNING_TITLE, MSG_OK | MSG_ICONEXCLAMATION);
    return 2;
  }
  memcpy(record, defaults, kind.recordSize);
  return recordFileWrite(path, record, kind.recordSize) == 0 ? 1 : -1;
}
