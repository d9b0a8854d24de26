#include "shell/book_list.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {
std::string lowered(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return text;
}

std::string trimmed(const char* text) {
  std::string s = text ? text : "";
  size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// A port typed by the user: digits only, 0 to 65535; else -1.
long parsePort(const std::string& text) {
  if (text.empty() || text.size() > 5) return -1;
  long value = 0;
  for (char c : text) {
    if (!isdigit(static_cast<unsigned char>(c))) return -1;
    value = value * 10 + (c - '0');
  }
  return value <= 65535 ? value : -1;
}
}  // namespace

std::vector<BookRow> bookRows(const BookView& view) {
  std::vector<BookRow> rows;
  for (const ListedEntry& e : entryList(*view.kind)) {
    const uint8_t* r = e.record.data();
    int64_t port = recordInt(r, view.port);
    rows.push_back({recordText(r, view.kind->nameField), recordText(r, view.address),
                    port == 0 ? std::string() : std::to_string(port), e.path});
  }
  std::sort(rows.begin(), rows.end(), [](const BookRow& a, const BookRow& b) {
    std::string x = lowered(a.name), y = lowered(b.name);
    return x != y ? x < y : a.path < b.path;
  });
  return rows;
}

int quickConnectEntry(const BookView& view, const uint8_t* templateRecord, const char* address,
                      const char* portText, uint8_t* record) {
  std::string host = trimmed(address).substr(0, view.address.size - 1u);
  if (host.empty()) return -1;
  std::string name = host.substr(0, QUICK_NAME_MAX);
  const size_t size = view.kind->recordSize;
  // An entry of that name already in the book keeps its own settings.
  std::vector<uint8_t> existing(size);
  std::string path = entryFilePath(*view.kind, name.c_str());
  std::error_code ec;
  bool whole = !path.empty() && std::filesystem::is_regular_file(path, ec) &&
               std::filesystem::file_size(path, ec) == size && !ec &&
               recordFileRead(path, existing.data(), size) == static_cast<int>(size);
  if (!whole) memcpy(existing.data(), templateRecord, size);
  recordSetText(existing.data(), view.kind->nameField, name.c_str());
  recordSetText(existing.data(), view.address, host.c_str());
  long port = parsePort(trimmed(portText));
  if (port >= 0) recordSetInt(existing.data(), view.port, port);
  memcpy(record, existing.data(), size);
  return whole ? 1 : 0;
}
