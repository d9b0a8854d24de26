#include "shell/book_files.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "shell/message_box.h"
#include "shell/program_dir.h"

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
  if (stem.size() == 4 && (sameNoCase(stem.substr(0, 3), "COM") || sameNoCase(stem.substr(0, 3), "LPT")))
    return stem[3] >= '1' && stem[3] <= '9';
  return false;
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
  std::string temporary = path + ".new";
  FILE* f = fopen(temporary.c_str(), "wb");
  if (!f) return -1;
  bool ok = fwrite(record, 1, size, f) == size;
  ok = fflush(f) == 0 && ok;
  ok = fclose(f) == 0 && ok;
  std::error_code ec;
  if (ok) fs::rename(temporary, path, ec);
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

int entryLoadTemplate(const BookKind& kind, const char* fileName, const uint8_t* defaults, uint8_t* record) {
  std::string stem(fileName);
  stem = stem.substr(0, stem.size() - strlen(kind.extension));
  // An existing template of any case is used and, when it is bad, replaced.
  std::string path = entryFilePath(kind, stem.c_str());
  std::error_code ec;
  if (!fs::exists(path, ec)) path = programPath(fileName);
  if (fs::file_size(path, ec) == kind.recordSize && !ec &&
      recordFileRead(path, record, kind.recordSize) == static_cast<int>(kind.recordSize))
    return 0;
  memcpy(record, defaults, kind.recordSize);
  return recordFileWrite(path, record, kind.recordSize) == 0 ? 1 : -1;
}
