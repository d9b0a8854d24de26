// The session profile: what the frame, the display, the connection and the
// transfers take from a session record, decoded once from whichever record
// kind the program keeps (the Telnet entry, the phone entry). Every value is
// already in its range: a record file may hold anything, and it is never
// rewritten for it.
#pragma once
#include <cstdint>

#include "shell/line_settings.h"

struct BookEntry;
struct PhoneEntry;
struct FtpEntry;

constexpr int DEFAULT_MAX_ERRORS = 5;
constexpr int KERMIT_PACKET_DEFAULT = 1024;
constexpr int KERMIT_PACKET_MIN = 65;
constexpr int KERMIT_PACKET_MAX = 9024;
constexpr int TRANSFER_PROTOCOLS = 8;  // the protocol table's length

// The transfer settings of a session, as the transfer framework reads them.
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

enum ProfileKind { PROFILE_TELNET, PROFILE_PHONE, PROFILE_FTP };

// Phone types of a phone entry; "none" is a direct (or answer) connection.
constexpr int PHONE_TYPE_PULSE = 0;
constexpr int PHONE_TYPE_TONE = 1;
constexpr int PHONE_TYPE_NONE = 2;

struct SessionProfile {
  ProfileKind kind;
  char name[65];
  // Connection: the Telnet address and port, or the phone number and line.
  char address[81];
  int port;  // 0: the protocol's service
  bool rlogin;
  bool useFirewall;
  bool binaryMode;
  char terminalId[17];  // "" when the entry names none
  char userName[33];
  LineSettings line;
  int phoneType;
  bool autoAnswer;
  // Terminal.
  int emulation;   // 1 to 10
  int rows;        // 24 to 99
  int columns;     // 80 or 132
  int resizeMode;  // 0 Term, 1 None, 2 Font
  bool autowrap, keypadApplication, inboundCrLf, outboundCrLf, localEcho, stripHighBit, displayControls;
  bool backspaceDelete;
  // Display: the LOGFONT values (a height of 0 is 9 points, no face
  // "courier") and the two colours as 0x00BBGGRR.
  int fontHeight, fontWidth, fontWeight, fontCharSet;
  char fontFace[32];
  uint32_t textColour, backgroundColour;
  // Session.
  bool sessionCapture;
  char sessionDir[1028];
  TransferSettings transfer;
};

SessionProfile profileFromBook(const BookEntry& entry);
SessionProfile profileFromPhone(const PhoneEntry& entry);
// The FTP entry drives a plain text view of 132 columns; its firewall is run
// by the FTP line itself, so the profile never asks the frame for a script.
SessionProfile profileFromFtp(const FtpEntry& entry);

// A colour field: 1 to 16 name a palette position, 0x8000 | 5-5-5 RGB a
// mixed colour; anything else gives fallback.
uint32_t colourFromField(int64_t value, const uint32_t palette[16], uint32_t fallback);
