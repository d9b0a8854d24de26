#include "shell/config_values.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "shell/book_files.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "terminal/screen.h"
#include "terminal/terminal_type.h"

using namespace bookField;

namespace {
// A typed decimal number, blanks around it allowed; false for anything else.
// Values beyond a million are held there: no field takes that many.
bool typedNumber(const std::string& text, long* out) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  while (n > i && text[n - 1] == ' ') --n;
  if (i == n) return false;
  long value = 0;
  for (; i < n; ++i) {
    if (!isdigit(static_cast<unsigned char>(text[i]))) return false;
    value = value * 10 + (text[i] - '0');
    if (value > 1000000) value = 1000000;
  }
  *out = value;
  return true;
}

int refuse(int text, const char* title = MESSAGE_TITLE) {
  messageBeep();
  messageBoxTitled(text, nullptr, title, MSG_OK | MSG_ICONINFORMATION);
  return text;
}

// Reads and writes through a map: a field the record lacks reads as 0 or ""
// and takes no write.
int64_t get(const uint8_t* r, const FieldSpec& f) { return fieldPresent(f) ? recordInt(r, f) : 0; }
void put(uint8_t* r, const FieldSpec& f, int64_t v) {
  if (fieldPresent(f)) recordSetInt(r, f, v);
}
std::string text(const uint8_t* r, const FieldSpec& f) { return fieldPresent(f) ? recordText(r, f) : std::string(); }
void putText(uint8_t* r, const FieldSpec& f, const std::string& t) {
  if (fieldPresent(f)) recordSetText(r, f, t.c_str());
}
void setFlag(uint8_t* r, const FieldSpec& f, bool on) { put(r, f, on ? 1 : 0); }
bool flag(const uint8_t* r, const FieldSpec& f) { return get(r, f) != 0; }

BookEntry asBook(const ConfigSheetState& s) {
  BookEntry e;
  memcpy(e.bytes, s.work.bytes, sizeof e.bytes);
  return e;
}

// A 16-bit count typed into a number edit: cut at the field's limit.
int typedU16(const std::string& text) {
  long v = 0;
  if (!typedNumber(text, &v)) return 0;
  return v > 65535 ? 65535 : static_cast<int>(v);
}

std::string cut(const std::string& text, int max) {
  return text.size() > static_cast<size_t>(max) ? text.substr(0, max) : text;
}
}  // namespace

void configStateOpen(ConfigSheetState& s, const uint8_t* record, const ConfigFieldMap& map, bool newEntry,
                     bool captureOn) {
  s = ConfigSheetState{};
  memset(s.work.bytes, 0, sizeof s.work.bytes);
  memcpy(s.work.bytes, record, std::min(map.size, sizeof s.work.bytes));
  s.map = &map;
  s.newEntry = newEntry;
  s.scrollStored = readScrollLines();
  s.captureShown = s.captureChosen = captureOn || flag(record, map.sessionCapture);
}

void configStateOpen(ConfigSheetState& s, const BookEntry& entry, bool newEntry, bool captureOn) {
  configStateOpen(s, entry.bytes, BOOK_CONFIG_FIELDS, newEntry, captureOn);
}

int configTextMax(const FieldSpec& field) {
  if (!fieldPresent(field)) return 0;
  return field.kind == FIELD_TEXT ? field.size - 1 : field.size;
}

// --- General -----------------------------------------------------------------

GeneralValues generalFromState(const ConfigSheetState& s) {
  const uint8_t* r = s.work.bytes;
  GeneralValues v;
  v.name = recordText(r, name);
  v.address = recordText(r, address);
  BookEntry b = asBook(s);
  int p = bookPort(b);
  v.port = p ? std::to_string(p) : "";
  v.userName = recordText(r, userName);
  v.protocol = bookProtocol(b);
  v.useFirewall = flag(r, useFirewall);
  return v;
}

int generalApply(ConfigSheetState& s, const GeneralValues& v) {
  uint8_t* r = s.work.bytes;
  if (s.newEntry) recordSetText(r, name, cut(v.name, CONFIG_NAME_MAX).c_str());
  recordSetText(r, address, cut(v.address, CONFIG_ADDRESS_MAX).c_str());
  long p = 0;
  recordSetInt(r, port, typedNumber(v.port, &p) ? (p > 65535 ? 65535 : p) : 0);
  recordSetInt(r, protocol, v.protocol == 1 ? 1 : 0);
  recordSetText(r, userName, cut(v.userName, CONFIG_USERNAME_MAX).c_str());
  setFlag(r, useFirewall, v.useFirewall);
  if (bookValidateEntry(asBook(s)) != 0)
    return recordText(r, name).empty() ? TXT_NO_SERVICE_NAME : TXT_NO_ADDRESS;
  // A name that cannot be a file name would only fail when the file is
  // written, or reach outside the book: refuse it here, as the save would.
  if (!isValidEntryName(recordText(r, name).c_str())) return refuse(TXT_ENTRY_CREATE_FAILED, SAVE_ERROR_TITLE);
  if (v.protocol == 1 && recordText(r, userName).empty()) return refuse(TXT_USERNAME_REQUIRED, "Error");
  return 0;
}

// --- Terminal ----------------------------------------------------------------

TerminalValues terminalFromState(const ConfigSheetState& s) {
  const uint8_t* r = s.work.bytes;
  const ConfigFieldMap& m = *s.map;
  TerminalValues v;
  v.emulation = clampedOr(get(r, m.emulation), 1, TERMINAL_TYPE_COUNT, 4);
  v.terminalId = text(r, m.terminalId);
  if (v.terminalId.empty()) v.terminalId = terminalType(v.emulation).terminalId;
  int64_t rows = get(r, m.terminalHeight);
  v.height = std::to_string(rows == 0 ? 24 : clampedTo(rows, 24, 99));
  v.scroll = std::to_string(s.scrollTyped >= 0 ? s.scrollTyped : s.scrollStored);
  v.wide = get(r, m.terminalWidth) == 1;
  v.resizeMode = clampedOr(get(r, m.resizeMode), 0, 2, 1);
  for (int i = 0; i < TERMINAL_CHECK_COUNT; ++i) v.checks[i] = flag(r, m.terminalChecks[i]);
  return v;
}

int terminalApply(ConfigSheetState& s, const TerminalValues& v) {
  uint8_t* r = s.work.bytes;
  long rows = 0;
  if (!typedNumber(v.height, &rows) || rows < CONFIG_TERM_HEIGHT_MIN || rows > CONFIG_TERM_HEIGHT_MAX)
    return refuse(TXT_TERM_HEIGHT_RANGE);
  int scroll = s.scrollStored;
  if (scrollRangeRule(v.scroll, s.scrollStored, &scroll) == TXT_SCROLL_RANGE) return refuse(TXT_SCROLL_RANGE);
  int emulationValue = v.emulation >= 1 && v.emulation <= TERMINAL_TYPE_COUNT ? v.emulation : 4;
  const ConfigFieldMap& m = *s.map;
  put(r, m.emulation, emulationValue);
  std::string id = cut(v.terminalId, CONFIG_TERMINAL_ID_MAX);
  putText(r, m.terminalId, id.empty() ? terminalType(emulationValue).terminalId : id);
  put(r, m.terminalHeight, rows);
  put(r, m.terminalWidth, v.wide ? 1 : 0);
  put(r, m.resizeMode, v.resizeMode >= 0 && v.resizeMode <= 2 ? v.resizeMode : 1);
  for (int i = 0; i < TERMINAL_CHECK_COUNT; ++i) setFlag(r, m.terminalChecks[i], v.checks[i]);
  s.scrollTyped = scroll;
  return 0;
}

std::string terminalIdForSwitch(const std::string& shown, int from, int to) {
  if (shown.empty() || shown == terminalType(from).terminalId) return terminalType(to).terminalId;
  return shown;
}

int scrollRangeRule(const std::string& typed, int stored, int* value) {
  long lines = 0;
  // The buffer holds at least the screen's rows.
  long least = std::max(CONFIG_SCROLL_MIN, screen.rows);
  if (!typedNumber(typed, &lines) || lines < least || lines > CONFIG_SCROLL_MAX) return TXT_SCROLL_RANGE;
  if (lines == stored) return 0;
  *value = static_cast<int>(lines);
  return TXT_SCROLL_RESTART;
}

// --- Protocols and Options -------------------------------------------------

ProtocolValues protocolsFromState(const ConfigSheetState& s) {
  const uint8_t* r = s.work.bytes;
  const ConfigFieldMap& m = *s.map;
  ProtocolValues v;
  v.protocol = clampedOr(get(r, m.transferProtocol), 0, 7, 0);
  int64_t errors = get(r, m.maxErrors);
  v.maxErrors = std::to_string(errors <= 0 ? CONFIG_MAX_ERRORS_DEFAULT : errors);
  v.keepBackup = flag(r, m.keepBackup);
  return v;
}

int protocolsApply(ConfigSheetState& s, const ProtocolValues& v) {
  uint8_t* r = s.work.bytes;
  long errors = 0;
  // This program takes a typed 0 (or nothing usable) as the default count.
  if (!typedNumber(v.maxErrors, &errors) || errors == 0) errors = CONFIG_MAX_ERRORS_DEFAULT;
  const ConfigFieldMap& m = *s.map;
  put(r, m.maxErrors, errors > 9999 ? 9999 : errors);
  put(r, m.transferProtocol, v.protocol >= 0 && v.protocol <= 7 ? v.protocol : 0);
  setFlag(r, m.keepBackup, v.keepBackup);
  return 0;
}

OptionValues optionsFromState(const ConfigSheetState& s) {
  const uint8_t* r = s.work.bytes;
  const ConfigFieldMap& m = *s.map;
  OptionValues v;
  v.stripLinefeed = flag(r, m.stripLinefeed);
  v.startChar = text(r, m.transferStartChar);
  v.endChar = text(r, m.transferEndChar);
  v.lineDelay = std::to_string(get(r, m.lineDelay));
  v.charDelay = std::to_string(get(r, m.charDelay));
  int64_t packet = get(r, m.kermitPacketSize);
  v.packetSize = std::to_string(packet == 0 ? 1024 : packet);
  v.skipExisting = flag(r, m.zmodemSkipExisting);
  v.crashRecover = flag(r, m.zmodemCrashRecover);
  v.segmented = flag(r, m.zmodemSegmented);
  v.escapeControl = flag(r, m.zmodemEscapeControl);
  v.eightbit = flag(r, m.kermitEightbit);
  return v;
}

int optionsApply(ConfigSheetState& s, const OptionValues& v) {
  uint8_t* r = s.work.bytes;
  long packet = 0;
  // The size is compared as the 16-bit number the field keeps.
  bool parsed = typedNumber(v.packetSize, &packet);
  int16_t asStored = static_cast<int16_t>(static_cast<uint16_t>(packet > 65535 ? 65535 : packet));
  if (!parsed || asStored > CONFIG_PACKET_MAX || asStored <= CONFIG_PACKET_MIN - 1) return refuse(TXT_INVALID_PACKET_SIZE);
  const ConfigFieldMap& m = *s.map;
  setFlag(r, m.stripLinefeed, v.stripLinefeed);
  putText(r, m.transferStartChar, cut(v.startChar, 2));
  putText(r, m.transferEndChar, cut(v.endChar, 2));
  put(r, m.lineDelay, typedU16(v.lineDelay));
  put(r, m.charDelay, typedU16(v.charDelay));
  put(r, m.kermitPacketSize, asStored);
  setFlag(r, m.zmodemSkipExisting, v.skipExisting);
  setFlag(r, m.zmodemCrashRecover, v.crashRecover);
  setFlag(r, m.zmodemSegmented, v.segmented);
  setFlag(r, m.zmodemEscapeControl, v.escapeControl);
  setFlag(r, m.kermitEightbit, v.eightbit);
  return 0;
}

// --- Colour and Fonts --------------------------------------------------------

const char* const COLOUR_ITEM_NAMES[COLOUR_ITEM_COUNT] = {"Text", "Background"};

int colourFieldFromRgb(int red, int green, int blue) {
  auto five = [](int c) { return (c < 0 ? 0 : c > 255 ? 255 : c) >> 3; };
  return 0x8000 | five(red) | five(green) << 5 | five(blue) << 10;
}

ColourValues colourFromState(const ConfigSheetState& s) {
  ColourValues v;
  for (int i = 0; i < COLOUR_ITEM_COUNT; ++i) v.fields[i] = static_cast<int>(get(s.work.bytes, s.map->colours[i]));
  return v;
}

void colourApply(ConfigSheetState& s, const ColourValues& v) {
  for (int i = 0; i < COLOUR_ITEM_COUNT; ++i) {
    int f = v.fields[i];
    bool valid = (f >= 0 && f <= 16) || (f >= 0x8000 && f <= 0xFFFF);
    put(s.work.bytes, s.map->colours[i], valid ? f : 0);
  }
}

const FontScript FONT_SCRIPTS[FONT_SCRIPT_COUNT] = {
    {"Ansi", 0}, {"Default", 1}, {"Symbol", 2}, {"ShiftJIS", 128}, {"OEM/DOS", 255},
};

const char* fontScriptName(int charSet) {
  for (const FontScript& f : FONT_SCRIPTS)
    if (f.charSet == charSet) return f.name;
  return "Unknown";
}

int fontHeightForPoints(int points) { return -((points * 96 + 36) / 72); }
int fontPointsForHeight(int64_t height) {
  if (height == 0) return 9;
  int64_t h = height < 0 ? -height : height;
  if (h > 1000) h = 1000;
  return static_cast<int>((h * 72 + 48) / 96);
}

FontValues fontFromState(const ConfigSheetState& s) {
  const uint8_t* r = s.work.bytes;
  const ConfigFieldMap& m = *s.map;
  FontValues v;
  v.face = text(r, m.fontFace);
  if (v.face.empty()) v.face = "courier";
  v.points = fontPointsForHeight(get(r, m.fontHeight));
  v.charSet = static_cast<int>(get(r, m.fontCharSet));
  return v;
}

void fontApply(ConfigSheetState& s, const FontValues& v) {
  uint8_t* r = s.work.bytes;
  int points = v.points < 4 ? 4 : v.points > 72 ? 72 : v.points;
  const ConfigFieldMap& m = *s.map;
  putText(r, m.fontFace, cut(v.face, CONFIG_FONT_FACE_MAX));
  put(r, m.fontHeight, fontHeightForPoints(points));
  put(r, m.fontWidth, 0);  // the width follows the height
  put(r, m.fontCharSet, v.charSet >= 0 && v.charSet <= 255 ? v.charSet : 0);
}

// --- Default Dir -------------------------------------------------------------

DirectoryValues directoryFromState(const ConfigSheetState& s, const std::string& programDir) {
  DirectoryValues v;
  v.download = text(s.work.bytes, s.map->downloadDir);
  if (v.download.empty()) v.download = programDir;
  v.session = text(s.work.bytes, s.map->sessionDir);
  v.capture = s.captureChosen;
  return v;
}

int directoryApply(ConfigSheetState& s, const DirectoryValues& v, const std::string& programDir) {
  uint8_t* r = s.work.bytes;
  std::error_code ec;
  const ConfigFieldMap& m = *s.map;
  std::string download = cut(v.download, configTextMax(m.downloadDir));
  std::string session = cut(v.session, configTextMax(m.sessionDir));
  if (!download.empty() && !std::filesystem::is_directory(download, ec)) return refuse(TXT_DOWNLOAD_DIR_NOT_FOUND);
  if (!session.empty() && !std::filesystem::is_directory(session, ec)) return refuse(TXT_SESSION_DIR_NOT_FOUND);
  // The program directory shown for an empty field stays an empty field.
  if (download == programDir && text(r, m.downloadDir).empty()) download.clear();
  putText(r, m.downloadDir, download);
  putText(r, m.sessionDir, session);
  setFlag(r, m.sessionCapture, v.capture);
  s.captureChosen = v.capture;
  return 0;
}

bool configCaptureChanged(const ConfigSheetState& s) {
  return s.captureChosen != s.captureShown;
}

// --- Firewall and OK ---------------------------------------------------------

FirewallValues firewallFromSettings(const char* addressValue, const char* portValue) {
  char address[CONFIG_FIREWALL_ADDRESS_MAX + 1];
  regReadString(addressValue, "", address, sizeof address);
  return {address, std::to_string(regReadInt(portValue, FIREWALL_PORT_DEFAULT))};
}

int firewallPortValue(const std::string& typed) {
  long port = 0;
  if (!typedNumber(typed, &port) || port <= 0 || port > 65535) return 0;
  return static_cast<int>(port);
}

void firewallApply(ConfigSheetState& s, const FirewallValues& v) {
  s.firewallTouched = true;
  s.firewallAddress = cut(v.address, CONFIG_FIREWALL_ADDRESS_MAX);
  s.firewallPort = firewallPortValue(v.port);
}

int configCommit(const ConfigSheetState& s, uint8_t* record, const char* addressValue, const char* portValue) {
  memcpy(record, s.work.bytes, s.map->size);
  if (s.firewallTouched) {
    regWriteString(addressValue, s.firewallAddress.c_str());
    regWriteInt(portValue, s.firewallPort);
  }
  if (s.scrollTyped >= 0 && s.scrollTyped != s.scrollStored) {
    regWriteInt(SETTING_SCROLL, s.scrollTyped);
    messageBox(TXT_SCROLL_RESTART, nullptr, MSG_OK | MSG_ICONINFORMATION);
  }
  return s.map->save(record);
}

int configCommit(const ConfigSheetState& s, BookEntry* entry, const char* addressValue, const char* portValue) {
  return configCommit(s, entry->bytes, addressValue, portValue);
}
