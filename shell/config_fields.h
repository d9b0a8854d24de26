// Where each record kind keeps what the configuration sheet's shared pages
// edit (terminal, protocols, colour, fonts, directories, transfer options).
// The pages read and write a record only through such a map, so one sheet
// serves the Telnet entry, the phone entry and the FTP entry alike. A field
// of size 0 is one the record does not have: its control shows the default
// and is disabled, and nothing is written for it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/record.h"

// The largest record a sheet edits (the Telnet entry).
constexpr size_t CONFIG_RECORD_MAX = 2424;

// The nine check boxes of the terminal page, in their order on the page.
constexpr int TERMINAL_CHECK_COUNT = 9;
constexpr int COLOUR_ITEM_COUNT = 2;  // "Text", "Background"

struct ConfigFieldMap {
  size_t size;  // the record's bytes
  FieldSpec name;
  // Terminal Pref.
  FieldSpec emulation, terminalId, terminalHeight, terminalWidth, resizeMode;
  FieldSpec terminalChecks[TERMINAL_CHECK_COUNT];
  // Protocols.
  FieldSpec transferProtocol, maxErrors, keepBackup;
  // Color: 0 default, 1..16 a palette position, 0x8000 | 5-5-5 RGB.
  FieldSpec colours[COLOUR_ITEM_COUNT];
  // Fonts.
  FieldSpec fontFace, fontHeight, fontWidth, fontCharSet;
  // Default Dir.
  FieldSpec downloadDir, sessionDir, sessionCapture;
  // Options.
  FieldSpec stripLinefeed, transferStartChar, transferEndChar, lineDelay, charDelay;
  FieldSpec zmodemSkipExisting, zmodemCrashRecover, zmodemSegmented, zmodemEscapeControl;
  FieldSpec kermitPacketSize, kermitEightbit;
  // Writes the record to its entry file; a failure shows its message, -1.
  int (*save)(const uint8_t* record);
};

inline bool fieldPresent(const FieldSpec& f) { return f.size != 0; }

extern const ConfigFieldMap BOOK_CONFIG_FIELDS;
extern const ConfigFieldMap PHONE_CONFIG_FIELDS;
extern const ConfigFieldMap FTP_CONFIG_FIELDS;
