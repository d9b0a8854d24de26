// The configuration sheet without its windows: what each page shows of the
// working copy, the checks a page makes when OK is pressed, and what OK
// finally writes (the entry file and the program-wide values). The dialog
// procedures only move these values to and from their controls.
#pragma once
#include <cstdint>
#include <string>

#include "shell/book_entry.h"
#include "shell/config_fields.h"
#include "shell/session_profile.h"

// Field limits as the edits enforce them (characters).
constexpr int CONFIG_NAME_MAX = 63;
constexpr int CONFIG_ADDRESS_MAX = 79;
constexpr int CONFIG_USERNAME_MAX = 31;
constexpr int CONFIG_TERMINAL_ID_MAX = 15;
constexpr int CONFIG_DIRECTORY_MAX = 1027;
constexpr int CONFIG_FIREWALL_ADDRESS_MAX = 255;
constexpr int CONFIG_TERM_HEIGHT_MIN = 24, CONFIG_TERM_HEIGHT_MAX = 99;
constexpr int CONFIG_SCROLL_MIN = 24, CONFIG_SCROLL_MAX = 3000;
constexpr int CONFIG_PACKET_MIN = 65, CONFIG_PACKET_MAX = 9024;
constexpr int CONFIG_MAX_ERRORS_DEFAULT = 5;
constexpr int CONFIG_FONT_FACE_MAX = 31;

// Texts of the sheet's refusals and notices (string table numbers).
enum ConfigText : int {
  TXT_INVALID_PACKET_SIZE = 94,
  TXT_USERNAME_REQUIRED = 4040,
  TXT_TERM_HEIGHT_RANGE = 4041,
  TXT_SCROLL_RANGE = 4042,
  TXT_SCROLL_RESTART = 4043,
  TXT_DOWNLOAD_DIR_NOT_FOUND = 4044,
  TXT_SESSION_DIR_NOT_FOUND = 4045,
};

// The working copy: room for the largest record, map->size bytes used.
struct ConfigRecord {
  uint8_t bytes[CONFIG_RECORD_MAX];
};

// What the sheet changes beside the entry, written only by a successful OK.
struct ConfigSheetState {
  ConfigRecord work;           // the working copy every page edits
  const ConfigFieldMap* map = &BOOK_CONFIG_FIELDS;
  bool newEntry = false;       // the name may be edited
  int scrollStored = 0;        // "scroll" as the sheet found it
  int scrollTyped = -1;        // -1 while the terminal page was not applied
  bool firewallTouched = false;
  std::string firewallAddress;
  int firewallPort = 0;
  bool captureShown = false;   // "Session capture" as the page first shows it
  bool captureChosen = false;  // and as OK leaves it
};
void configStateOpen(ConfigSheetState& s, const uint8_t* record, const ConfigFieldMap& map, bool newEntry,
                     bool captureOn);
void configStateOpen(ConfigSheetState& s, const BookEntry& entry, bool newEntry, bool captureOn);

// Each page's values as its controls hold them. The General page's are the
// Telnet entry's (a state opened over BOOK_CONFIG_FIELDS); the other pages
// work through the state's map. xxxFromState fills them;
// xxxApply checks them and writes them into the working copy. Apply returns 0,
// or shows the page's refusal (beep, message) and returns its text number;
// the working copy may then hold part of the values, as the sheet stays open.
struct GeneralValues {
  std::string name, address, port, userName;
  int protocol = 0;  // 0 Telnet, 1 Rlogin
  bool useFirewall = false;
};
GeneralValues generalFromState(const ConfigSheetState& s);
int generalApply(ConfigSheetState& s, const GeneralValues& v);

struct TerminalValues {
  int emulation = 4;  // 1..10, list position + 1
  std::string terminalId, height, scroll;
  bool wide = false;  // 132 columns
  int resizeMode = 1;
  bool checks[TERMINAL_CHECK_COUNT] = {};
};
TerminalValues terminalFromState(const ConfigSheetState& s);
int terminalApply(ConfigSheetState& s, const TerminalValues& v);
// The Terminal ID to show when the emulation changes from one to another:
// a field that is empty or holds the old emulation's name takes the new one's.
std::string terminalIdForSwitch(const std::string& shown, int fromEmulation, int toEmulation);

struct ProtocolValues {
  int protocol = 0;  // 0..7
  std::string maxErrors;
  bool keepBackup = false;
};
ProtocolValues protocolsFromState(const ConfigSheetState& s);
int protocolsApply(ConfigSheetState& s, const ProtocolValues& v);

// Colours: the entry's field holds 0 for the default, a palette position plus
// one (1..16) for a colour button, or a colour mixed with the scroll bars as
// 0x8000 plus five bits each of red, green and blue.
extern const char* const COLOUR_ITEM_NAMES[COLOUR_ITEM_COUNT];
int colourFieldFromRgb(int red, int green, int blue);
struct ColourValues {
  int fields[COLOUR_ITEM_COUNT] = {};
};
ColourValues colourFromState(const ConfigSheetState& s);
void colourApply(ConfigSheetState& s, const ColourValues& v);

// Fonts: sizes in points, the LOGFONT height at 96 dots per inch.
constexpr int FONT_SCRIPT_COUNT = 5;
struct FontScript {
  const char* name;
  int charSet;
};
extern const FontScript FONT_SCRIPTS[FONT_SCRIPT_COUNT];
const char* fontScriptName(int charSet);  // "Unknown" for the others
int fontHeightForPoints(int points);
int fontPointsForHeight(int64_t height);  // 9 for an unset height
struct FontValues {
  std::string face;
  int points = 9;
  int charSet = 0;
};
FontValues fontFromState(const ConfigSheetState& s);
void fontApply(ConfigSheetState& s, const FontValues& v);

struct DirectoryValues {
  std::string download, session;
  bool capture = false;
};
// An empty download directory shows programDir.
DirectoryValues directoryFromState(const ConfigSheetState& s, const std::string& programDir);
int directoryApply(ConfigSheetState& s, const DirectoryValues& v, const std::string& programDir);

struct OptionValues {
  bool stripLinefeed = false;
  std::string startChar, endChar, lineDelay, charDelay, packetSize;
  bool skipExisting = false, crashRecover = false, segmented = false, escapeControl = false;
  bool eightbit = false;
};
OptionValues optionsFromState(const ConfigSheetState& s);
int optionsApply(ConfigSheetState& s, const OptionValues& v);

struct FirewallValues {
  std::string address, port;
};
FirewallValues firewallFromSettings(const char* addressValue, const char* portValue);
void firewallApply(ConfigSheetState& s, const FirewallValues& v);
// A typed port: a positive number (within 65535), else 0.
int firewallPortValue(const std::string& typed);

// The Scroll Range rule: 0 when the typed value is the stored one,
// TXT_SCROLL_RESTART when it is a new value in range (*value set),
// TXT_SCROLL_RANGE when it is not a number from the terminal's current rows
// (at least 24) to 3000.
int scrollRangeRule(const std::string& typed, int stored, int* value);

// A successful OK: the working copy becomes record (map->size bytes) and is
// saved to its file; a changed scroll range and the firewall values go to the
// settings store. Returns 0, or -1 when the entry file could not be written
// (the save's message was shown; record holds the new values all the same).
int configCommit(const ConfigSheetState& s, uint8_t* record, const char* firewallAddressValue,
                 const char* firewallPortValue);
int configCommit(const ConfigSheetState& s, BookEntry* entry, const char* firewallAddressValue,
                 const char* firewallPortValue);
// The longest text a field of the map takes (0 for a field the record lacks).
int configTextMax(const FieldSpec& field);
// Whether OK changed the capture choice.
bool configCaptureChanged(const ConfigSheetState& s);
