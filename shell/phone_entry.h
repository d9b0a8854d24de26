// PhoneEntry: the session record of the dial-up program, byte for byte the
// content of its entry file ("NAME.phn" in the program directory).
#pragma once
#include <cstdint>

#include "shell/book_files.h"
#include "shell/record.h"

constexpr size_t PHONE_ENTRY_SIZE = 2364;

struct PhoneEntry {
  uint8_t bytes[PHONE_ENTRY_SIZE];
};
static_assert(sizeof(PhoneEntry) == PHONE_ENTRY_SIZE, "PhoneEntry is the 2364-byte record");

// The two colours of the Color page sit at the start of the record's spare
// bytes (2328 to 2337), coded as the Telnet entry codes them; the other six
// belong to no field here and are carried through.
#define PHONE_ENTRY_FIELDS(X)           \
  X(phoneNumber, 0, 80, TEXT)           \
  X(phonePrefix, 80, 8, TEXT)           \
  X(name, 88, 64, TEXT)                 \
  X(dataBits, 152, 2, U16)              \
  X(stopBits, 154, 2, U16)              \
  X(parity, 156, 2, U16)                \
  X(portIndex, 158, 2, U16)             \
  X(speedIndex, 160, 2, U16)            \
  X(phoneType, 162, 2, U16)             \
  X(makerIndex, 164, 2, U16)            \
  X(transferProtocol, 166, 2, U16)      \
  X(keepBackup, 168, 2, U16)            \
  X(sessionCapture, 170, 2, U16)        \
  X(autoAnswer, 172, 2, U16)            \
  X(viewJpegRealtime, 174, 2, U16)      \
  X(emulation, 176, 2, U16)             \
  X(flowControl, 178, 2, U16)           \
  X(crInbound, 180, 2, U16)             \
  X(crOutbound, 182, 2, U16)            \
  X(localEcho, 184, 2, U16)             \
  X(terminalOption, 186, 2, U16)        \
  X(terminalWidth, 188, 2, U16)         \
  X(autowrap, 190, 2, U16)              \
  X(backspaceDelete, 192, 2, U16)       \
  X(scrollLock, 194, 4, S32)            \
  X(stripHighBit, 198, 4, S32)          \
  X(keypadApplication, 202, 2, U16)     \
  X(terminalHeight, 204, 2, U16)        \
  X(resizeMode, 206, 2, U16)            \
  X(displayControls, 208, 2, U16)       \
  FONT_FIELDS(X, 210)                   \
  X(downloadDir, 270, 1028, TEXT)       \
  X(sessionDir, 1298, 1028, TEXT)       \
  X(maxErrors, 2326, 2, U16)            \
  X(colour1, 2328, 2, U16)              \
  X(colour2, 2330, 2, U16)              \
  X(timeout, 2338, 2, U16)              \
  X(retryCount, 2340, 2, U16)           \
  X(stripLinefeed, 2342, 2, U16)        \
  X(transferStartChar, 2344, 2, CHARS)  \
  X(transferEndChar, 2346, 2, CHARS)    \
  X(lineDelay, 2348, 2, U16)            \
  X(charDelay, 2350, 2, U16)            \
  X(zmodemSkipExisting, 2352, 2, U16)   \
  X(zmodemCrashRecover, 2354, 2, U16)   \
  X(zmodemEscapeControl, 2356, 2, U16)  \
  X(zmodemSegmented, 2358, 2, U16)      \
  X(kermitEightbit, 2360, 2, U16)       \
  X(kermitPacketSize, 2362, 2, U16)

namespace phoneField {
#define PHONE_DECLARE(n, o, s, k) DECLARE_FIELD(PHONE_ENTRY_SIZE, n, o, s, k)
PHONE_ENTRY_FIELDS(PHONE_DECLARE)
#undef PHONE_DECLARE
}  // namespace phoneField

extern const FieldSpec phoneFieldTable[];
extern const int phoneFieldCount;

// The phonebook: "*.phn" files of 2364 bytes, created as "NAME.PHN".
extern const BookKind PHONE_BOOK;
constexpr const char* PHONE_TEMPLATE_FILE = "Default.phn";

// All zero but the name "Default" and the phone number "0000".
PhoneEntry phoneDefaultEntry();
// Start-up: "Default.phn" into entry, written anew when missing or of the
// wrong size. Results as entryLoadTemplate.
int phoneLoadTemplate(PhoneEntry& entry);
int phoneLoadEntry(const char* name, PhoneEntry& entry);
// A failure beeps and shows "Check your service name, failed to create file
// for this entry".
int phoneSaveEntry(const PhoneEntry& entry);

// Values as their users take them (the record is never changed).
int phonePortIndex(const PhoneEntry& entry);    // 0 to 7, else 0
int phoneSpeedIndex(const PhoneEntry& entry);   // 0 to 11, else 0
int phoneMakerIndex(const PhoneEntry& entry);   // 0 to 15, else 15 (Custom)
int phoneType(const PhoneEntry& entry);         // 0 pulse, 1 tone, 2 none; else 2
int phoneEmulation(const PhoneEntry& entry);    // 1 to 10, else 4
int phoneTerminalRows(const PhoneEntry& entry); // 24 to 99; 0 means 24
int phoneTransferProtocol(const PhoneEntry& entry);  // 0 to 7, else 0
int phoneTimeoutSeconds(const PhoneEntry& entry);    // 0 means 60
