// The transfer settings of the current session, read from its record when a
// transfer starts. The two programs keep them at different offsets of their
// records; everything below this struct sees one shape.
#pragma once
#include <cstdint>

struct BookEntry;
struct PhoneEntry;

constexpr int TRANSFER_PATH_MAX = 260;
constexpr int DEFAULT_MAX_ERRORS = 5;
constexpr int KERMIT_PACKET_DEFAULT = 1024;
constexpr int KERMIT_PACKET_MIN = 65;
constexpr int KERMIT_PACKET_MAX = 9024;

struct TransferSettings {
  int protocol;            // TransferProtocol, 0..7
  int maxErrors;           // never 0: 0 in the record means 5
  bool keepBackup;
  char downloadDir[1028];  // "" = the program directory
  bool viewJpegRealtime;
  bool stripLinefeed;
  char initiateChar[3];    // as typed, caret notation allowed
  char endChar[3];
  int lineDelayMs;
  int charDelayMs;
  bool zmodemSkipExisting;
  bool zmodemCrashRecover;
  bool zmodemEscapeControl;
  bool zmodemSegmented;
  bool kermitEightbit;
  int kermitPacketSize;    // 65..9024, 1024 when the record holds 0
  int flowControl;         // 0 none, 1 hardware, 2 XON/XOFF, 3 both
};

TransferSettings transferSettingsDefault();
TransferSettings transferSettingsFromBook(const BookEntry& entry);
TransferSettings transferSettingsFromPhone(const PhoneEntry& entry);

// The byte a two-character field stands for: one plain character, or "^" and c
// for (code of c) - 64. An empty field gives -1.
int caretByte(const char* field);
