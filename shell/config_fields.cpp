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

// The book and phone entries name their terminal fields alike; F is the
// entry's field namespace.
#define TERMINAL_ENTRY_FIELDS(F, SIZE, TERMINAL_ID, SAVE)                                                          \
  {SIZE, F::name, F::emulation, TERMINAL_ID, F::terminalHeight, F::terminalWidth, F::resizeMode,                   \
   {F::displayControls, F::localEcho, F::crInbound, F::crOutbound, F::autowrap, F::backspaceDelete, F::scrollLock, \
    F::keypadApplication, F::stripHighBit},                                                                        \
   F::transferProtocol, F::maxErrors, F::keepBackup, {F::colour1, F::colour2},                                     \
   F::fontFace, F::fontHeight, F::fontWidth, F::fontCharSet, F::downloadDir, F::sessionDir, F::sessionCapture,     \
   F::stripLinefeed, F::transferStartChar, F::transferEndChar, F::lineDelay, F::charDelay,                         \
   F::zmodemSkipExisting, F::zmodemCrashRecover, F::zmodemSegmented, F::zmodemEscapeControl,                       \
   F::kermitPacketSize, F::kermitEightbit, SAVE}

const ConfigFieldMap BOOK_CONFIG_FIELDS =
    TERMINAL_ENTRY_FIELDS(bookField, BOOK_ENTRY_SIZE, bookField::terminalId, saveBook);

// The phone entry names no Terminal ID: the emulation's own is announced.
const ConfigFieldMap PHONE_CONFIG_FIELDS = TERMINAL_ENTRY_FIELDS(phoneField, PHONE_ENTRY_SIZE, NONE, savePhone);
#undef TERMINAL_ENTRY_FIELDS

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
