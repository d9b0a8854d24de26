#include "shell/ftp_entry.h"

using namespace ftpField;

const FieldSpec ftpFieldTable[] = {
#define FTP_LIST(n, o, s, k) LIST_FIELD(FTP_ENTRY_SIZE, n, o, s, k)
    FTP_ENTRY_FIELDS(FTP_LIST)
#undef FTP_LIST
};
const int ftpFieldCount = sizeof ftpFieldTable / sizeof ftpFieldTable[0];

const BookKind FTP_BOOK = {".ftp", ".FTP", FTP_ENTRY_SIZE, ftpField::name};

// Stands in for a real server until the user edits the template.
static const char* const PLACEHOLDER_HOST = "ftp.example.com";

FtpEntry ftpDefaultEntry() {
  FtpEntry e{};
  recordSetText(e.bytes, address, PLACEHOLDER_HOST);
  recordSetText(e.bytes, name, "Default");
  return e;
}

int ftpLoadTemplate(FtpEntry& entry) {
  FtpEntry defaults = ftpDefaultEntry();
  return entryLoadTemplate(FTP_BOOK, FTP_TEMPLATE_FILE, defaults.bytes, entry.bytes);
}

int ftpLoadEntry(const char* entryName, FtpEntry& entry) {
  return entryFileRead(FTP_BOOK, entryName, entry.bytes);
}

int ftpSaveEntry(const FtpEntry& entry, int messageId) {
  FtpEntry written = entry;
  if (recordInt(written.bytes, savePassword) == 0) recordSetText(written.bytes, password, "");
  return entrySave(FTP_BOOK, written.bytes, messageId);
}

int ftpSystemType(const FtpEntry& e) { return clampedOr(recordInt(e.bytes, systemType), 0, 7, 0); }
int ftpPort(const FtpEntry& e) { return clampedOr(recordInt(e.bytes, port), 1, 65535, 21); }
