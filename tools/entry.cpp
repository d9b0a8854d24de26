// entry: look inside and change entry files.
//   entry show FILE               every named field as name=value, one a line
//   entry set FILE name=value...  change fields in place
//   entry new tel|phn|ftp FILE    write the built-in template of that kind
// The kind of a file is its extension (.tel, .phn, .ftp, any case). Errors: one
// line on stderr, exit 1, the file untouched.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "shell/book_entry.h"
#include "shell/book_files.h"
#include "shell/ftp_entry.h"
#include "shell/phone_entry.h"

namespace {
struct Kind {
  const char* word;
  const BookKind& book;
  const FieldSpec* fields;
  const int& fieldCount;
  std::vector<uint8_t> (*templateBytes)();
};

std::vector<uint8_t> telTemplate() {
  BookEntry e = bookDefaultEntry();
  return std::vector<uint8_t>(e.bytes, e.bytes + sizeof e.bytes);
}
std::vector<uint8_t> phnTemplate() {
  PhoneEntry e = phoneDefaultEntry();
  return std::vector<uint8_t>(e.bytes, e.bytes + sizeof e.bytes);
}
std::vector<uint8_t> ftpTemplate() {
  FtpEntry e = ftpDefaultEntry();
  return std::vector<uint8_t>(e.bytes, e.bytes + sizeof e.bytes);
}

const Kind kinds[] = {
    {"tel", TELNET_BOOK, bookFieldTable, bookFieldCount, telTemplate},
    {"phn", PHONE_BOOK, phoneFieldTable, phoneFieldCount, phnTemplate},
    {"ftp", FTP_BOOK, ftpFieldTable, ftpFieldCount, ftpTemplate},
};

int fail(const std::string& message) {
  fprintf(stderr, "entry: %s\n", message.c_str());
  return 1;
}

const Kind* kindOfWord(const std::string& word) {
  for (const Kind& k : kinds)
    if (word == k.word) return &k;
  return nullptr;
}

const Kind* kindOfFile(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return ext.size() > 1 ? kindOfWord(ext.substr(1)) : nullptr;
}

// Reads FILE, which must hold exactly one record of its kind.
int readEntry(const std::string& path, const Kind*& kind, std::vector<uint8_t>& record) {
  kind = kindOfFile(path);
  if (!kind) return fail(path + ": not an entry file (extension .tel, .phn or .ftp)");
  std::error_code ec;
  auto size = std::filesystem::file_size(path, ec);
  if (ec) return fail(path + ": cannot be read");
  if (size != kind->book.recordSize)
    return fail(path + ": " + std::to_string(size) + " bytes, a ." + kind->word + " entry has " +
                std::to_string(kind->book.recordSize));
  record.assign(kind->book.recordSize, 0);
  if (recordFileRead(path, record.data(), record.size()) != static_cast<int>(record.size()))
    return fail(path + ": cannot be read");
  return 0;
}

// Control characters would break the one-field-a-line output.
std::string printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 32 || c == 127) {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int show(const std::string& path) {
  const Kind* kind;
  std::vector<uint8_t> record;
  if (readEntry(path, kind, record)) return 1;
  for (int i = 0; i < kind->fieldCount; ++i)
    printf("%s=%s\n", kind->fields[i].name, printable(fieldToString(record.data(), kind->fields[i])).c_str());
  return 0;
}

int set(const std::string& path, int count, char** assignments) {
  const Kind* kind;
  std::vector<uint8_t> record;
  if (readEntry(path, kind, record)) return 1;
  if (count == 0) return fail("set needs at least one name=value");
  for (int a = 0; a < count; ++a) {
    const char* eq = strchr(assignments[a], '=');
    if (!eq) return fail(std::string("not name=value: ") + assignments[a]);
    std::string name(assignments[a], eq - assignments[a]);
    const FieldSpec* field = nullptr;
    for (int i = 0; i < kind->fieldCount; ++i)
      if (name == kind->fields[i].name) field = &kind->fields[i];
    if (!field) return fail("unknown field " + name + " in a ." + kind->word + " entry");
    if (fieldFromString(record.data(), *field, eq + 1) != 0)
      return fail("value does not fit field " + name + ": " + (eq + 1));
  }
  if (recordFileWrite(path, record.data(), record.size()) != 0) return fail(path + ": cannot be written");
  return 0;
}

int create(const std::string& word, const std::string& path) {
  const Kind* kind = kindOfWord(word);
  if (!kind) return fail("unknown kind " + word + " (tel, phn or ftp)");
  std::vector<uint8_t> record = kind->templateBytes();
  if (recordFileWrite(path, record.data(), record.size()) != 0) return fail(path + ": cannot be written");
  return 0;
}

int usage() {
  return fail("usage: entry show FILE | entry set FILE name=value... | entry new tel|phn|ftp FILE");
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  std::string command = argv[1];
  if (command == "show" && argc == 3) return show(argv[2]);
  if (command == "set") return set(argv[2], argc - 3, argv + 3);
  if (command == "new" && argc == 4) return create(argv[2], argv[3]);
  return usage();
}
