// Entry and profile files of any size and content: every reader of every
// record kind stays inside its record, and every text comes back terminated
// and within its field.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "shell/book_entry.h"
#include "shell/book_files.h"
#include "shell/ftp_entry.h"
#include "shell/message_box_posix.h"
#include "shell/modem_profile.h"
#include "shell/phone_entry.h"
#include "shell/program_dir.h"
#include "tests/support/file_text.h"

namespace {
std::string directory;

void checkFields(const uint8_t* record, const FieldSpec* fields, int count) {
  char text[2048];
  for (int i = 0; i < count; ++i) {
    const FieldSpec& f = fields[i];
    size_t n = recordText(record, f, text, sizeof text);
    size_t limit = f.kind == FIELD_TEXT ? f.size - 1u : f.kind == FIELD_CHARS ? f.size : 0u;
    if (n > limit || strlen(text) != n || recordText(record, f).size() != n) abort();
    std::string s = fieldToString(record, f);
    if (s.size() > f.size + 12u) abort();
  }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/fuzz-records-XXXXXX";
  if (!mkdtemp(pattern)) abort();
  directory = pattern;
  setProgramDir(directory);
  atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(directory, ec);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // In memory: the input as each record, cut or padded.
  BookEntry book{};
  memcpy(book.bytes, data, size < sizeof book.bytes ? size : sizeof book.bytes);
  checkFields(book.bytes, bookFieldTable, bookFieldCount);
  bookEmulation(book);
  bookTerminalRows(book);
  bookKermitPacketSize(book);
  PhoneEntry phone{};
  memcpy(phone.bytes, data, size < sizeof phone.bytes ? size : sizeof phone.bytes);
  checkFields(phone.bytes, phoneFieldTable, phoneFieldCount);
  if (phoneMakerIndex(phone) > 15 || phonePortIndex(phone) > 7) abort();
  FtpEntry ftp{};
  memcpy(ftp.bytes, data, size < sizeof ftp.bytes ? size : sizeof ftp.bytes);
  checkFields(ftp.bytes, ftpFieldTable, ftpFieldCount);
  ModemProfile profile{};
  memcpy(profile.bytes, data, size < sizeof profile.bytes ? size : sizeof profile.bytes);
  for (int slot = -1; slot <= PROFILE_SLOTS; ++slot)
    if (profileSlot(profile, slot).size() > PROFILE_TEXT_MAX) abort();

  // Through the files: loads, the listing and the templates.
  for (const char* name : {"fuzz.tel", "Fuzz.PHN", "fuzz.ftp", "Hayes.mdm", "Default.tel"})
    writeFile(directory + "/" + name, std::string(reinterpret_cast<const char*>(data), size));
  if (bookLoadEntry("FUZZ", book) > static_cast<int>(BOOK_ENTRY_SIZE)) abort();
  if (phoneLoadEntry("fuzz", phone) > static_cast<int>(PHONE_ENTRY_SIZE)) abort();
  if (ftpLoadEntry("fuzz", ftp) > static_cast<int>(FTP_ENTRY_SIZE)) abort();
  if (modemProfileLoad(4, profile) > static_cast<int>(MODEM_PROFILE_SIZE)) abort();
  for (const ListedEntry& e : entryList(TELNET_BOOK)) {
    if (e.record.size() != BOOK_ENTRY_SIZE) abort();
    checkFields(e.record.data(), bookFieldTable, bookFieldCount);
  }
  if (bookLoadTemplate() < 0) abort();
  checkFields(templateEntry.bytes, bookFieldTable, bookFieldCount);

  // A name taken from the input is saved or refused, never anything else.
  size_t n = size < 63 ? size : 63;
  std::string name(reinterpret_cast<const char*>(data), n);
  name = name.c_str();
  recordSetText(book.bytes, bookField::name, name.c_str());
  int saved = entryFileWrite(TELNET_BOOK, book.bytes);
  if (saved != 0 && isValidEntryName(name.c_str())) abort();
  if (saved == 0) entryFileDelete(TELNET_BOOK, name.c_str());
  messagesClear();
  return 0;
}
