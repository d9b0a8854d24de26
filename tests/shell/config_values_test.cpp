// The configuration sheet's rules without its windows: each page's checks
// with the texts they show, the limits of the typed values, where each
// control lands in the record, and what OK writes; then the program-wide
// settings it reads and writes.
#include <gtest/gtest.h>

#include <cstring>

#include "shell/config_values.h"
#include "shell/message_ids.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "terminal/colours.h"
#include "terminal/terminal_state.h"
#include "tests/shell/book_fixture.h"

namespace {
using namespace bookField;

struct ConfigTest : BookDirTest {
  ConfigSheetState s;
  void SetUp() override {
    BookDirTest::SetUp();
    BookEntry e = bookDefaultEntry();
    recordSetText(e.bytes, name, "Host");
    configStateOpen(s, e, false, false);
  }
  // The one message shown since the last call: its text number and title.
  std::pair<int, std::string> shown() {
    auto all = messagesShown();
    std::pair<int, std::string> last = all.empty() ? std::make_pair(0, std::string()) : std::make_pair(all.back().id, all.back().title);
    messagesClear();
    return last;
  }
};

TEST_F(ConfigTest, GeneralPageChecksNameAddressAndUser) {
  struct Case {
    bool newEntry;
    const char *name, *address;
    int protocol;
    const char* user;
    int refused;
    const char* title;
  } cases[] = {
      {true, "ok", "h.example", 0, "", 0, ""},
      {true, "", "h.example", 0, "", TXT_NO_SERVICE_NAME, "Message"},
      {true, "ok", "", 0, "", TXT_NO_ADDRESS, "Message"},
      // (Which names are refused is read in the entry file tests.)
      {true, "..\\out", "h.example", 0, "", TXT_ENTRY_CREATE_FAILED, "Error"},
      {true, "ok", "h.example", 1, "", TXT_USERNAME_REQUIRED, "Error"},
      {true, "ok", "h.example", 1, "me", 0, ""},
      {false, "renamed", "h.example", 0, "", 0, ""},  // the name of an existing entry stays
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    s.newEntry = c.newEntry;
    GeneralValues v = generalFromState(s);
    v.name = c.name, v.address = c.address, v.protocol = c.protocol, v.userName = c.user;
    EXPECT_EQ(generalApply(s, v), c.refused) << c.name << " " << c.address;
    EXPECT_EQ(beepsSounded(), c.refused ? 1 : 0) << c.name;
    auto [text, title] = shown();
    EXPECT_EQ(text, c.refused) << c.name;
    if (c.refused) {
      EXPECT_EQ(title, c.title) << c.name;
    }
    if (!c.refused) {
      EXPECT_EQ(recordText(s.work.bytes, name), c.newEntry ? c.name : "Host");
    }
  }
}

TEST_F(ConfigTest, GeneralPageCutsAtTheFieldLimits) {
  GeneralValues v = generalFromState(s);
  v.address = std::string(200, 'a');
  v.port = "99999";
  v.protocol = 1;
  v.userName = std::string(50, 'u');
  EXPECT_EQ(generalApply(s, v), 0);
  EXPECT_EQ(recordText(s.work.bytes, address).size(), 79u);
  EXPECT_EQ(recordText(s.work.bytes, userName).size(), 31u);
  EXPECT_EQ(recordInt(s.work.bytes, port), 65535);
  EXPECT_EQ(recordInt(s.work.bytes, protocol), 1);
}

TEST_F(ConfigTest, TerminalHeightAndScrollRange) {
  struct Case {
    const char *height, *scroll;
    int refused;
    int scrollAfter;  // what OK would store; -1 unchanged
    int rows = 24;    // the terminal's rows now: the least scroll range
  } cases[] = {
      {"24", "1000", 0, 1000},
      {"99", "24", 0, 24},
      {"30", "3000", 0, 3000},
      {"100", "1000", TXT_TERM_HEIGHT_RANGE, -1},
      {"23", "1000", TXT_TERM_HEIGHT_RANGE, -1},
      {"", "1000", TXT_TERM_HEIGHT_RANGE, -1},
      {"2a", "1000", TXT_TERM_HEIGHT_RANGE, -1},
      {"24", "23", TXT_SCROLL_RANGE, -1},
      {"24", "3001", TXT_SCROLL_RANGE, -1},
      {"24", "x", TXT_SCROLL_RANGE, -1},
      {"24", "30", TXT_SCROLL_RANGE, -1, 40},
      {"24", "40", 0, 40, 40},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    terminalReset(c.rows, 80, 1000);
    TerminalValues v = terminalFromState(s);
    EXPECT_EQ(v.scroll, "1000") << "the stored default";
    v.height = c.height, v.scroll = c.scroll;
    EXPECT_EQ(terminalApply(s, v), c.refused) << c.height << " " << c.scroll << " on " << c.rows << " rows";
    EXPECT_EQ(shown().first, c.refused);
    EXPECT_EQ(s.scrollTyped, c.scrollAfter);
    if (!c.refused) {
      EXPECT_EQ(recordInt(s.work.bytes, terminalHeight), atoi(c.height));
    }
  }
  int value = 0;
  EXPECT_EQ(scrollRangeRule("1000", 1000, &value), 0);
  EXPECT_EQ(scrollRangeRule(" 500 ", 1000, &value), TXT_SCROLL_RESTART);
  EXPECT_EQ(value, 500);
}

// Each control lands on the offset the record gives it.
TEST_F(ConfigTest, TerminalControlsLandOnTheirFields) {
  const int checkOffsets[TERMINAL_CHECK_COUNT] = {194, 222, 218, 220, 192, 190, 2416, 196, 2344};
  for (int i = 0; i < TERMINAL_CHECK_COUNT; ++i) {
    TearDown();
    SetUp();
    memset(s.work.bytes + 190, 0, 40);
    memset(s.work.bytes + 2344, 0, 4);
    memset(s.work.bytes + 2416, 0, 2);
    TerminalValues v = terminalFromState(s);
    for (bool& b : v.checks) b = false;
    v.checks[i] = true;
    v.emulation = 9;
    v.terminalId = "";
    v.wide = true;
    v.resizeMode = 2;
    ASSERT_EQ(terminalApply(s, v), 0);
    EXPECT_EQ(s.work.bytes[checkOffsets[i]], 1) << i;
    int set = 0;
    for (int o : checkOffsets) set += s.work.bytes[o];
    EXPECT_EQ(set, 1) << i;
    EXPECT_EQ(recordInt(s.work.bytes, emulation), 9);
    EXPECT_EQ(recordText(s.work.bytes, terminalId), "ansi") << "an empty ID is the emulation's name";
    EXPECT_EQ(s.work.bytes[200], 1);
    EXPECT_EQ(s.work.bytes[202], 2);
  }
  EXPECT_EQ(terminalIdForSwitch("vt100", 4, 6), "vt220");
  EXPECT_EQ(terminalIdForSwitch("", 4, 1), "UNKNOWN");
  EXPECT_EQ(terminalIdForSwitch("mine", 4, 6), "mine");
}

TEST_F(ConfigTest, ProtocolsAndOptionsPages) {
  struct Errors {
    const char* typed;
    int stored;
  } errors[] = {{"0", 5}, {"", 5}, {"x", 5}, {"7", 7}, {"99999", 9999}};
  for (const Errors& e : errors) {
    ProtocolValues v = protocolsFromState(s);
    v.maxErrors = e.typed;
    v.protocol = 7;
    v.keepBackup = true;
    EXPECT_EQ(protocolsApply(s, v), 0);
    EXPECT_EQ(recordInt(s.work.bytes, maxErrors), e.stored) << e.typed;
    EXPECT_EQ(recordInt(s.work.bytes, transferProtocol), 7);
    EXPECT_EQ(recordInt(s.work.bytes, keepBackup), 1);
  }
  recordSetInt(s.work.bytes, maxErrors, 0);
  EXPECT_EQ(protocolsFromState(s).maxErrors, "5");

  struct Packet {
    const char* typed;
    bool accepted;
  } packets[] = {{"64", false}, {"65", true}, {"9024", true}, {"9025", false},
                 {"65535", false}, {"", false}, {"0", false}, {"1024", true}};
  for (const Packet& p : packets) {
    OptionValues v = optionsFromState(s);
    v.packetSize = p.typed;
    EXPECT_EQ(optionsApply(s, v), p.accepted ? 0 : TXT_INVALID_PACKET_SIZE) << p.typed;
    EXPECT_EQ(shown().first, p.accepted ? 0 : TXT_INVALID_PACKET_SIZE);
    if (p.accepted) {
      EXPECT_EQ(recordInt(s.work.bytes, kermitPacketSize), atoi(p.typed));
    }
  }
  recordSetInt(s.work.bytes, kermitPacketSize, 0);
  OptionValues v = optionsFromState(s);
  EXPECT_EQ(v.packetSize, "1024");
  v.startChar = "^Qx";
  v.endChar = "^D";
  v.lineDelay = "70000";
  v.charDelay = "15";
  v.segmented = v.eightbit = v.stripLinefeed = true;
  ASSERT_EQ(optionsApply(s, v), 0);
  EXPECT_EQ(memcmp(s.work.bytes + 228, "^Q^D", 4), 0);
  EXPECT_EQ(recordInt(s.work.bytes, lineDelay), 65535);
  EXPECT_EQ(recordInt(s.work.bytes, charDelay), 15);
  EXPECT_EQ(s.work.bytes[236] + s.work.bytes[2408] + s.work.bytes[226], 3);
}

TEST_F(ConfigTest, DirectoriesMustExistAndCaptureChoice) {
  std::string program = dir.string();
  std::filesystem::create_directories(dir / "Log");
  DirectoryValues v = directoryFromState(s, program);
  EXPECT_EQ(v.download, program) << "an empty download directory shows the program directory";
  v.session = (dir / "Log").string();
  v.capture = true;
  EXPECT_EQ(directoryApply(s, v, program), 0);
  EXPECT_EQ(recordText(s.work.bytes, downloadDir), "");
  EXPECT_EQ(recordText(s.work.bytes, sessionDir), v.session);
  EXPECT_TRUE(configCaptureChanged(s));
  v.download = (dir / "missing").string();
  EXPECT_EQ(directoryApply(s, v, program), TXT_DOWNLOAD_DIR_NOT_FOUND);
  v.download = "";
  v.session = (dir / "nolog").string();
  EXPECT_EQ(directoryApply(s, v, program), TXT_SESSION_DIR_NOT_FOUND);
  configStateOpen(s, s.work.bytes, BOOK_CONFIG_FIELDS, false, true);
  EXPECT_TRUE(directoryFromState(s, program).capture) << "capture running shows checked";
  EXPECT_FALSE(configCaptureChanged(s));
}

TEST(ConfigColours, FieldsStandForPaletteOrMixedColours) {
  const uint32_t* p = terminalColours.palette;
  // (Palette positions 1 to 16 and the fallback are read in the session tests.)
  EXPECT_EQ(colourFromField(colourFieldFromRgb(255, 0, 255), p, 0), rgb(255, 0, 255));
  EXPECT_EQ(colourFromField(colourFieldFromRgb(0, 255, 0), p, 0), rgb(0, 255, 0));
  uint32_t mid = colourFromField(colourFieldFromRgb(100, 150, 200), p, 0);
  for (int shift : {0, 8, 16}) {
    int want = (shift == 0 ? 100 : shift == 8 ? 150 : 200);
    EXPECT_NEAR(static_cast<int>(mid >> shift & 0xFF), want, 8);
  }
  EXPECT_EQ(fontHeightForPoints(9), FONT_HEIGHT_9PT);
  EXPECT_EQ(fontPointsForHeight(FONT_HEIGHT_9PT), 9);
  EXPECT_EQ(fontPointsForHeight(0), 9);
  EXPECT_EQ(fontPointsForHeight(fontHeightForPoints(14)), 14);
  EXPECT_STREQ(fontScriptName(128), "ShiftJIS");
  EXPECT_STREQ(fontScriptName(77), "Unknown");
}

TEST_F(ConfigTest, OkWritesTheEntryAndChangedSettingsOnly) {
  for (const char* refused : {"abc", "-5", "0", "70000"}) EXPECT_EQ(firewallPortValue(refused), 0) << refused;
  EXPECT_EQ(firewallPortValue("2323"), 2323);

  BookEntry entry{};
  recordSetText(s.work.bytes, address, "new.example");
  ASSERT_EQ(configCommit(s, &entry, "FirewallAddressTelnet", "FirewallPortTelnet"), 0);
  EXPECT_EQ(settingsCount(), 0) << "pages not applied store nothing";
  EXPECT_TRUE(messagesShown().empty());
  EXPECT_EQ(fileBytes("Host.TEL"), std::vector<uint8_t>(s.work.bytes, s.work.bytes + BOOK_ENTRY_SIZE));

  TerminalValues t = terminalFromState(s);
  t.scroll = "2500";
  ASSERT_EQ(terminalApply(s, t), 0);
  firewallApply(s, {std::string(300, 'g'), "abc"});
  ASSERT_EQ(configCommit(s, &entry, "FirewallAddressTelnet", "FirewallPortTelnet"), 0);
  EXPECT_EQ(regReadInt("scroll", 0), 2500);
  EXPECT_EQ(shown().first, TXT_SCROLL_RESTART);
  EXPECT_EQ(regReadInt("FirewallPortTelnet", 23), 0);
  char gate[400];
  EXPECT_EQ(regReadString("FirewallAddressTelnet", "", gate, sizeof gate), 255);
}

// The shared pages over each record kind: every value lands at that record's
// own offset, a field the record lacks takes nothing, and the bytes no page
// edits come back as they were; OK saves to the kind's own file.
TEST_F(ConfigTest, SharedPagesWriteEachRecordKindAtItsOwnPlaces) {
  struct Kind {
    const ConfigFieldMap* map;
    const char* file;
    std::vector<int> changed;  // offsets of 16-bit fields set to 1 below
    int emulationAt, colourAt, packetAt, fontFaceAt, downloadAt;
  } kinds[] = {
      {&BOOK_CONFIG_FIELDS, "Rec.TEL", {194, 222, 218, 220, 192, 190, 2416, 196, 2344, 240, 242, 226, 232, 234, 236, 238, 2408},
       214, 204, 2410, 2376, 248},
      {&PHONE_CONFIG_FIELDS, "Rec.PHN", {208, 184, 180, 182, 190, 192, 194, 202, 198, 168, 170, 2342, 2352, 2354, 2358, 2356, 2360},
       176, 2328, 2362, 238, 270},
      {&FTP_CONFIG_FIELDS, "Rec.FTP", {484}, -1, -1, -1, 784, 500},
  };
  for (const Kind& k : kinds) {
    std::vector<uint8_t> before = patternBytes(k.map->size, 11);
    for (int o : k.changed) before[o] = before[o + 1] = 0;  // flags start off
    recordSetText(before.data(), k.map->name, "Rec");
    configStateOpen(s, before.data(), *k.map, false, false);
    TerminalValues t = terminalFromState(s);
    t.emulation = 9, t.height = "30";
    for (bool& c : t.checks) c = true;
    ASSERT_EQ(terminalApply(s, t), 0);
    ProtocolValues p = protocolsFromState(s);
    p.keepBackup = true;
    ASSERT_EQ(protocolsApply(s, p), 0);
    colourApply(s, {{5, 6}});
    FontValues f = fontFromState(s);
    f.face = "Fixedsys";
    fontApply(s, f);
    DirectoryValues d = directoryFromState(s, "/program");
    d.download = dir.string(), d.session = "", d.capture = true;
    ASSERT_EQ(directoryApply(s, d, "/program"), 0);
    OptionValues o = optionsFromState(s);
    o.packetSize = "512";
    o.stripLinefeed = o.skipExisting = o.crashRecover = o.segmented = o.escapeControl = o.eightbit = true;
    ASSERT_EQ(optionsApply(s, o), 0);
    std::vector<uint8_t> record(k.map->size);
    ASSERT_EQ(configCommit(s, record.data(), "FirewallAddressTelnet", "FirewallPortTelnet"), 0);
    EXPECT_EQ(fileBytes(k.file), record) << k.file;

    std::vector<bool> written(k.map->size, false);
    auto at16 = [&](int offset) { return record[offset] | record[offset + 1] << 8; };
    auto mark = [&](int offset, int n) {
      for (int i = 0; i < n; ++i) written[offset + i] = true;
    };
    for (int offset : k.changed) {
      EXPECT_EQ(at16(offset), 1) << k.file << " flag at " << offset;
      mark(offset, 2);
    }
    if (k.emulationAt >= 0) {
      EXPECT_EQ(at16(k.emulationAt), 9) << k.file;
      EXPECT_EQ(at16(k.colourAt), 5) << k.file;
      EXPECT_EQ(at16(k.colourAt + 2), 6) << k.file;
      EXPECT_EQ(at16(k.packetAt), 512) << k.file;
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[k.fontFaceAt])), "Fixedsys") << k.file;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[k.downloadAt])), dir.string()) << k.file;
    // Everything the map names may change; nothing else may.
    const ConfigFieldMap& m = *k.map;
    std::vector<const FieldSpec*> fields = {&m.emulation, &m.terminalId, &m.terminalHeight, &m.terminalWidth,
                                            &m.resizeMode, &m.transferProtocol, &m.maxErrors, &m.keepBackup,
                                            &m.fontFace, &m.fontHeight, &m.fontWidth, &m.fontCharSet,
                                            &m.downloadDir, &m.sessionDir, &m.sessionCapture, &m.stripLinefeed,
                                            &m.transferStartChar, &m.transferEndChar, &m.lineDelay, &m.charDelay,
                                            &m.zmodemSkipExisting, &m.zmodemCrashRecover, &m.zmodemSegmented,
                                            &m.zmodemEscapeControl, &m.kermitPacketSize, &m.kermitEightbit,
                                            &m.name, &m.colours[0], &m.colours[1]};
    for (const FieldSpec& c : m.terminalChecks) fields.push_back(&c);
    for (const FieldSpec* field : fields) mark(field->offset, field->size);
    for (size_t i = 0; i < record.size(); ++i)
      if (!written[i]) ASSERT_EQ(record[i], before[i]) << k.file << " byte " << i << " is no field of its pages";
  }
}

// Program-wide settings through the store with their defaults.
using Settings = BookDirTest;

// (The scroll lines, the firewall port and the window placement read their
// defaults in the configuration, connection and placement tests.)
TEST_F(Settings, DefaultsWhenAbsent) {
  EXPECT_EQ(regReadInt(TELNET_SETTINGS.bookBox, TELNET_SETTINGS.bookBoxAtStartup), 107);
  EXPECT_EQ(regReadInt(DIALUP_SETTINGS.bookBox, DIALUP_SETTINGS.bookBoxAtStartup), 0);
  EXPECT_EQ(readFirewallAddress(FTP_SETTINGS), "");
}

TEST_F(Settings, StoredValuesAreDecimalTextNamesWithoutRegardToCase) {
  regWriteString("BookBox_Telnet", "103");
  EXPECT_EQ(regReadInt("Bookbox_Telnet", 107), 103);
  regWriteString("scroll", "10");
  EXPECT_EQ(readScrollLines(), 24) << "at least 24";
  regWriteString("scroll", "lots");
  EXPECT_EQ(regReadInt("scroll", 1000), 0) << "text that is not a number reads as 0";
  regWriteString("scroll", "99999999999999");
  EXPECT_EQ(regReadInt("scroll", 1000), INT32_MAX);

  writeWindowPlacement(TELNET_SETTINGS, {10, 20, 640, 0, false});
  WindowPlacement w = readWindowPlacement(TELNET_SETTINGS);
  EXPECT_TRUE(w.systemDefault) << "a height of 0 means the system default for all four";
  writeWindowPlacement(TELNET_SETTINGS, {10, 20, 640, 480, false});
  w = readWindowPlacement(TELNET_SETTINGS);
  EXPECT_FALSE(w.systemDefault);
  EXPECT_EQ(w.left, 10);
  EXPECT_EQ(w.height, 480);
  char text[16];
  regReadString("TELNETH", "", text, sizeof text);
  EXPECT_STREQ(text, "480");

  std::string host(300, 'h');
  regWriteString(FTP_SETTINGS.firewallAddress, host.c_str());
  EXPECT_EQ(readFirewallAddress(FTP_SETTINGS), std::string(255, 'h'));
}

TEST_F(Settings, DirectoriesAreCreatedAndStoredOnFirstStart) {
  std::string down = readProgramDirectory(SETTING_DOWNLOAD, DOWNLOAD_SUBDIR);
  EXPECT_EQ(down, (dir / "Down").string());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "Down"));
  std::string log = readProgramDirectory(SETTING_SESSION, SESSION_SUBDIR);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "Log"));
  char stored[1025];
  regReadString("download", "", stored, sizeof stored);
  EXPECT_EQ(down, stored);
  regReadString("Session", "", stored, sizeof stored);
  EXPECT_EQ(log, stored);

  regWriteString(SETTING_DOWNLOAD, "/somewhere/else");
  EXPECT_EQ(readProgramDirectory(SETTING_DOWNLOAD, DOWNLOAD_SUBDIR), "/somewhere/else");
}
}  // namespace
