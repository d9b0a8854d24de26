// The FTP client's connection entry: 854 bytes, byte for byte the content of
// its entry file ("NAME.ftp" in the program directory).
#pragma once
#include <cstdint>

#include "shell/book_files.h"
#include "shell/record.h"

constexpr size_t FTP_ENTRY_SIZE = 854;

struct FtpEntry {
  uint8_t bytes[FTP_ENTRY_SIZE];
};
static_assert(sizeof(FtpEntry) == FTP_ENTRY_SIZE, "the FTP entry is the 854-byte record");

// Bytes 846 to 853 (reserved, and a setting kept with the entry) belong to no
// field here and are carried through.
#define FTP_ENTRY_FIELDS(X)             \
  X(address, 0, 80, TEXT)               \
  X(name, 80, 64, TEXT)                 \
  X(userName, 144, 80, TEXT)            \
  X(password, 224, 256, TEXT)           \
  X(downloadToCurrent, 480, 4, S32)     \
  X(sessionCapture, 484, 4, S32)        \
  X(viewJpegRealtime, 488, 4, S32)      \
  X(savePassword, 492, 4, S32)          \
  X(port, 496, 4, S32)                  \
  X(downloadDir, 500, 256, TEXT)        \
  FONT_FIELDS(X, 756)                   \
  X(ownColours, 816, 4, S32)            \
  X(backColour, 820, 4, U32)            \
  X(textColour, 824, 4, U32)            \
  X(binary, 828, 2, U16)                \
  X(recover, 830, 2, U16)               \
  X(passive, 832, 2, U16)               \
  X(noFtpWindow, 834, 2, U16)           \
  X(anonymous, 836, 2, U16)             \
  X(systemType, 838, 2, U16)            \
  X(hideListing, 840, 2, U16)           \
  X(useFirewall, 842, 4, S32)

namespace ftpField {
#define FTP_DECLARE(n, o, s, k) DECLARE_FIELD(FTP_ENTRY_SIZE, n, o, s, k)
FTP_ENTRY_FIELDS(FTP_DECLARE)
#undef FTP_DECLARE
}  // namespace ftpField

extern const FieldSpec ftpFieldTable[];
extern const int ftpFieldCount;

// The FTP book: "*.ftp" files of 854 bytes, created as "NAME.FTP".
extern const BookKind FTP_BOOK;
constexpr const char* FTP_TEMPLATE_FILE = "Default.ftp";

// Display name "Default", a placeholder host, everything else 0.
FtpEntry ftpDefaultEntry();
int ftpLoadTemplate(FtpEntry& entry);
int ftpLoadEntry(const char* name, FtpEntry& entry);
// Writes the entry with its password zeroed unless "Save Password" is set (the
// record in memory keeps it). A failure beeps and shows messageId: the text
// for a save from the book, or the shorter one for the save at disconnect.
int ftpSaveEntry(const FtpEntry& entry, int messageId);

// Values as their users take them (the record is never changed).
int ftpSystemType(const FtpEntry& entry);  // 0 to 7, else 0 (ask the server)
int ftpPort(const FtpEntry& entry);        // 1 to 65535, 0 or out of range: 21
