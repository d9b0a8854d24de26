// BookEntry: the session record of the Telnet program, byte for byte the
// content of its entry file ("NAME.tel" in the program directory).
#pragma once
#include <cstdint>

#include "shell/book_files.h"
#include "shell/record.h"

constexpr size_t BOOK_ENTRY_SIZE = 2424;

struct BookEntry {
  uint8_t bytes[BOOK_ENTRY_SIZE];
};
static_assert(sizeof(BookEntry) == BOOK_ENTRY_SIZE, "BookEntry is the 2424-byte record");

#define BOOK_ENTRY_FIELDS(X)            \
  X(address, 0, 80, TEXT)               \
  X(name, 88, 64, TEXT)                 \
  X(lineSpeed, 160, 2, U16)             \
  X(modemPage, 164, 2, U16)             \
  X(transferProtocol, 166, 2, U16)      \
  X(binaryMode, 168, 2, U16)            \
  X(terminalId, 170, 16, TEXT)          \
  X(port, 186, 4, S32)                  \
  X(backspaceDelete, 190, 2, U16)       \
  X(autowrap, 192, 2, U16)              \
  X(displayControls, 194, 2, U16)       \
  X(keypadApplication, 196, 2, U16)     \
  X(terminalHeight, 198, 2, U16)        \
  X(terminalWidth, 200, 2, U16)         \
  X(resizeMode, 202, 2, U16)            \
  X(colour1, 204, 2, U16)               \
  X(colour2, 206, 2, U16)               \
  X(colour3, 210, 2, U16)               \
  X(emulation, 214, 2, U16)             \
  X(flowControl, 216, 2, U16)           \
  X(crInbound, 218, 2, U16)             \
  X(crOutbound, 220, 2, U16)            \
  X(localEcho, 222, 2, U16)             \
  X(stripLinefeed, 226, 2, U16)         \
  X(transferStartChar, 228, 2, CHARS)   \
  X(transferEndChar, 230, 2, CHARS)     \
  X(zmodemSkipExisting, 232, 2, U16)    \
  X(zmodemCrashRecover, 234, 2, U16)    \
  X(zmodemSegmented, 236, 2, U16)       \
  X(zmodemEscapeControl, 238, 2, U16)   \
  X(keepBackup, 240, 2, U16)            \
  X(sessionCapture, 242, 2, U16)        \
  X(viewJpegRealtime, 246, 2, U16)      \
  X(downloadDir, 248, 1028, TEXT)       \
  X(sessionDir, 1276, 1028, TEXT)       \
  X(useFirewall, 2304, 4, S32)          \
  X(userName, 2308, 32, TEXT)           \
  X(protocol, 2340, 4, S32)             \
  X(stripHighBit, 2344, 4, S32)         \
  FONT_FIELDS(X, 2348)                  \
  X(kermitEightbit, 2408, 2, U16)       \
  X(kermitPacketSize, 2410, 2, U16)     \
  X(lineDelay, 2412, 2, U16)            \
  X(charDelay, 2414, 2, U16)            \
  X(scrollLock, 2416, 2, U16)           \
  X(maxErrors, 2420, 4, S32)

namespace bookField {
#define BOOK_DECLARE(n, o, s, k) DECLARE_FIELD(BOOK_ENTRY_SIZE, n, o, s, k)
BOOK_ENTRY_FIELDS(BOOK_DECLARE)
#undef BOOK_DECLARE
}  // namespace bookField

// Every named field, in record order.
extern const FieldSpec bookFieldTable[];
extern const int bookFieldCount;

// The Telnet book: "*.tel" files of 2424 bytes, created as "NAME.TEL".
extern const BookKind TELNET_BOOK;
constexpr const char* TELNET_TEMPLATE_FILE = "Default.tel";

// The session's record and the template for new entries, one each per process.
extern BookEntry sessionEntry;
extern BookEntry templateEntry;

// The built-in defaults "Default.tel" is written from.
BookEntry bookDefaultEntry();

// Reads the file of entry name from the program directory into entry (a short
// file leaves the rest as it was). Returns the bytes read, or -1.
int bookLoadEntry(const char* name, BookEntry& entry);
// Writes entry to its file in the program directory; a failure beeps and shows
// "Check your service name, failed to create file for this entry".
int bookSaveEntry(const BookEntry& entry);
// An entry needs a name and an address; else beep, message, -1.
int bookValidateEntry(const BookEntry& entry);
// Start-up: "Default.tel" into templateEntry, written anew when missing or of
// the wrong size. Results as entryLoadTemplate.
int bookLoadTemplate();

// Values as their users take them: a value loaded from a file that is out of
// range is replaced here, never in the record.
int bookEmulation(const BookEntry& entry);        // 1 to 10, else 4 (VT100)
int bookTerminalRows(const BookEntry& entry);     // 24 to 99; 0 means 24
int bookTerminalColumns(const BookEntry& entry);  // 80, or 132 when set
int bookResizeMode(const BookEntry& entry);       // 0 to 2, else 1
int bookTransferProtocol(const BookEntry& entry); // 0 to 7, else 0
int bookFlowControl(const BookEntry& entry);      // 0 to 3, else 0
int bookLineSpeed(const BookEntry& entry);        // 0 to 11, else 0
int bookProtocol(const BookEntry& entry);         // 0 Telnet, 1 Rlogin; else 0
int bookPort(const BookEntry& entry);             // 0 to 65535, else 0 (default)
int bookKermitPacketSize(const BookEntry& entry); // 65 to 9024; 0 means 1024
