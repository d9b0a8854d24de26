#include "shell/config_fields.h"

#include <cstring>

#include "shell/book_entry.h"
#include "shell/ftp_entry.h"
#include "shell/message_ids.h"
#include "shell/phone_entry.h"

namespace {
constexpr FieldSpec NONE{"", 0, 0, FIELD_TEXT};

int saveBook(const uint8_t* record) {
  BookEntry e;
  memcpy(e.bytes, record, sizeof e.bytes);
  return bookSaveEntry(e);
}
int savePhone(const uint8_t* record) {
  PhoneEntry e;
  memcpy(e.bytes, record, sizeof e.bytes);
  return phoneSaveEntry(e);
}
int saveFtp(const uint8_t* record) {
  FtpEntry e;
  memcpy(e.bytes, record, sizeof e.bytes);
  return ftpSaveEntry(e, TXT_ENTRY_CREATE_FAILED);
}
}  // namespace

const ConfigFieldMap BOOK_CONFIG_FIELDS = {
    BOOK_ENTRY_SIZE,
    bookField::name,
    bookField::emulation, bookField::terminalId, bookField::terminalHeight, bookField::terminalWidth,
    bookField::resizeMode,
    {bookField::displayControls, bookField::localEcho, bookField::crInbound, bookField::crOutbound,
     bookField::autowrap, bookField::backspaceDelete, bookField::scrollLock, bookField::keypadApplication,
     bookField::stripHighBit},
    bookField::transferProtocol, bookField::maxErrors, bookField::keepBackup,
    {bookField::colour1, bookField::colour2},
    bookField::fontFace, bookField::fontHeight, bookField::fontWidth, bookField::fontCharSet,
    bookField::downloadDir, bookField::sessionDir, bookField::sessionCapture,
    bookField::stripLinefeed, bookField::transferStartChar, bookField::transferEndChar, bookField::lineDelay,
    bookField::charDelay,
    bookField::zmodemSkipExisting, bookField::zmodemCrashRecover, bookField::zmodemSegmented,
    bookField::zmodemEscapeControl,
    bookField::kermitPacketSize, bookField::kermitEightbit,
    saveBook,
};

// The phone entry names no Terminal ID: the emulation's own is announced.
const ConfigFieldMap PHONE_CONFIG_FIELDS = {
    PHONE_ENTRY_SIZE,
    phoneField::name,
    phoneField::emulation, NONE, phoneField::terminalHeight, phoneField::terminalWidth, phoneField::resizeMode,
    {phoneField::displayControls, phoneField::localEcho, phoneField::crInbound, phoneField::crOutbound,
     phoneField::autowrap, phoneField::backspaceDelete, phoneField::scrollLock, phoneField::keypadApplication,
     phoneField::stripHighBit},
    phoneField::transferProtocol, phoneField::maxErrors, phoneField::keepBackup,
    {phoneField::colour1, phoneField::colour2},
    phoneField::fontFace, phoneField::fontHeight, phoneField::fontWidth, phoneField::fontCharSet,
    phoneField::downloadDir, phoneField::sessionDir, phoneField::sessionCapture,
    phoneField::stripLinefeed, phoneField::transferStartChar, phoneField::transferEndChar, phoneField::lineDelay,
    phoneField::charDelay,
    phoneField::zmodemSkipExisting, phoneField::zmodemCrashRecover, phoneField::zmodemSegmented,
    phoneField::zmodemEscapeControl,
    phoneField::kermitPacketSize, phoneField::kermitEightbit,
    savePhone,
};

// The FTP entry has no terminal and no transfer protocols; its colours are
// whole RGB values with a switch of their own, which its own page edits.
const ConfigFieldMap FTP_CONFIG_FIELDS = {
    FTP_ENTRY_SIZE,
    ftpField::name,
    NONE, NONE, NONE, NONE, NONE,
    {NONE, NONE, NONE, NONE, NONE, NONE, NONE, NONE, NONE},
    NONE, NONE, NONE,
    {NONE, NONE},
    ftpField::fontFace, ftpField::fontHeight, ftpField::fontWidth, ftpField::fontCharSet,
    ftpField::downloadDir, NONE, ftpField::sessionCapture,
    NONE, NONE, NONE, NONE, NONE,
    NONE, NONE, NONE, NONE,
    NONE, NONE,
    saveFtp,
};
