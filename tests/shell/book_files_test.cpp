// Entry files through the real file system: round trips of all three record
// kinds, the templates, short and wrong-size files, names the platform cannot
// take, names that differ only in case, and saves that fail half way; and
// the modem profiles beside them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/book_entry.h"
#include "shell/ftp_entry.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/modem_profile.h"
#include "shell/phone_entry.h"
#include "tests/shell/book_fixture.h"

namespace fs = std::filesystem;

namespace {
// A record whose every byte is set (gaps included), with a valid name.
template <typename Entry>
Entry patterned(const FieldSpec& nameField, const char* name, uint32_t seed) {
  Entry e;
  std::vector<uint8_t> bytes = patternBytes(sizeof e.bytes, seed);
  memcpy(e.bytes, bytes.data(), sizeof e.bytes);
  recordSetText(e.bytes, nameField, name);
  return e;
}

// Saves the record, loads it back by its name and compares every byte.
template <typename Entry, typename Save>
void expectRoundTrip(const Entry& e, const char* name, Save save, int (*load)(const char*, Entry&)) {
  ASSERT_EQ(save(e), 0) << name;
  Entry back{};
  EXPECT_EQ(load(name, back), static_cast<int>(sizeof e.bytes)) << name;
  EXPECT_EQ(memcmp(e.bytes, back.bytes, sizeof e.bytes), 0) << name;
}

using BookFiles = BookDirTest;

TEST_F(BookFiles, EveryByteOfEachKindSurvivesARoundTrip) {
  BookEntry tel = patterned<BookEntry>(bookField::name, "Alpha", 1);
  expectRoundTrip(tel, "Alpha", bookSaveEntry, bookLoadEntry);
  expectRoundTrip(patterned<PhoneEntry>(phoneField::name, "Beta", 2), "Beta", phoneSaveEntry, phoneLoadEntry);
  FtpEntry ftp = patterned<FtpEntry>(ftpField::name, "Gamma", 3);
  recordSetInt(ftp.bytes, ftpField::savePassword, 1);
  expectRoundTrip(ftp, "Gamma", [](const FtpEntry& e) { return ftpSaveEntry(e, TXT_ENTRY_CREATE_FAILED); },
                  ftpLoadEntry);

  EXPECT_EQ(files(), (std::vector<std::string>{"Alpha.TEL", "Beta.PHN", "Gamma.FTP"}));
  EXPECT_EQ(fileBytes("Alpha.TEL"), std::vector<uint8_t>(tel.bytes, tel.bytes + BOOK_ENTRY_SIZE));
  EXPECT_TRUE(messagesShown().empty());
}

TEST_F(BookFiles, FtpPasswordIsWrittenOnlyWhenItIsToBeSaved) {
  FtpEntry ftp = ftpDefaultEntry();
  recordSetText(ftp.bytes, ftpField::name, "srv");
  recordSetText(ftp.bytes, ftpField::userName, "anna");
  recordSetText(ftp.bytes, ftpField::password, "secret");
  ASSERT_EQ(ftpSaveEntry(ftp, TXT_ENTRY_SAVE_FAILED), 0);
  std::vector<uint8_t> stored = fileBytes("srv.FTP");
  ASSERT_EQ(stored.size(), FTP_ENTRY_SIZE);
  for (int i = 224; i < 480; ++i) ASSERT_EQ(stored[i], 0) << "password byte " << i;
  FtpEntry back{};
  ftpLoadEntry("srv", back);
  EXPECT_EQ(recordText(back.bytes, ftpField::userName), "anna");
  EXPECT_EQ(recordText(ftp.bytes, ftpField::password), "secret") << "the record in memory keeps it";

  recordSetInt(ftp.bytes, ftpField::savePassword, 1);
  ASSERT_EQ(ftpSaveEntry(ftp, TXT_ENTRY_SAVE_FAILED), 0);
  ftpLoadEntry("srv", back);
  EXPECT_EQ(recordText(back.bytes, ftpField::password), "secret");
}

// Every default the built-in Telnet template must carry; every other byte is 0.
void expectTelnetDefaults(const BookEntry& t) {
  using namespace bookField;
  const std::pair<FieldSpec, int64_t> ints[] = {{emulation, 4},       {terminalHeight, 24},     {resizeMode, 1},
                                                {autowrap, 1},        {backspaceDelete, 1},     {transferProtocol, 6},
                                                {zmodemEscapeControl, 1}, {fontHeight, FONT_HEIGHT_9PT}};
  BookEntry rest = t;
  for (const auto& [field, value] : ints) {
    EXPECT_EQ(recordInt(t.bytes, field), value) << field.name;
    memset(rest.bytes + field.offset, 0, field.size);
  }
  EXPECT_EQ(recordText(t.bytes, name), "Default");
  EXPECT_EQ(recordText(t.bytes, terminalId), "vt100");
  EXPECT_EQ(recordText(t.bytes, fontFace), "courier");
  EXPECT_FALSE(recordText(t.bytes, address).empty()) << "a placeholder address";
  for (const FieldSpec& f : {address, name, terminalId, fontFace}) memset(rest.bytes + f.offset, 0, f.size);
  for (size_t i = 0; i < BOOK_ENTRY_SIZE; ++i) ASSERT_EQ(rest.bytes[i], 0) << "byte " << i;
}

TEST_F(BookFiles, TelnetTemplateIsWrittenAnewWhenMissingOrOfTheWrongSize) {
  const size_t missing = SIZE_MAX;
  for (size_t size : {missing, size_t{0}, size_t{100}, BOOK_ENTRY_SIZE - 1, BOOK_ENTRY_SIZE + 1}) {
    if (size != missing) writeFile("Default.tel", patternBytes(size, 9));
    memset(templateEntry.bytes, 0x55, BOOK_ENTRY_SIZE);
    EXPECT_EQ(bookLoadTemplate(), 1) << size;
    expectTelnetDefaults(templateEntry);
    ASSERT_EQ(fileBytes("Default.tel").size(), BOOK_ENTRY_SIZE) << size;
    BookEntry onDisk{};
    memcpy(onDisk.bytes, fileBytes("Default.tel").data(), BOOK_ENTRY_SIZE);
    expectTelnetDefaults(onDisk);
  }

  // An edited template of the right size is read, not replaced.
  BookEntry edited = patterned<BookEntry>(bookField::name, "Default", 4);
  writeFile("Default.tel", std::vector<uint8_t>(edited.bytes, edited.bytes + BOOK_ENTRY_SIZE));
  EXPECT_EQ(bookLoadTemplate(), 0);
  EXPECT_EQ(memcmp(templateEntry.bytes, edited.bytes, BOOK_ENTRY_SIZE), 0);
  EXPECT_EQ(files(), std::vector<std::string>{"Default.tel"});
}

TEST_F(BookFiles, PhoneAndFtpTemplatesAreWrittenAnewWithTheirDefaults) {
  writeFile("Default.phn", patternBytes(10, 1));
  PhoneEntry phone;
  memset(phone.bytes, 0x55, sizeof phone.bytes);
  EXPECT_EQ(phoneLoadTemplate(phone), 1);
  EXPECT_EQ(recordText(phone.bytes, phoneField::name), "Default");
  EXPECT_EQ(recordText(phone.bytes, phoneField::phoneNumber), "0000");
  PhoneEntry rest = phone;
  memset(rest.bytes, 0, 8);
  memset(rest.bytes + 88, 0, 64);
  for (size_t i = 0; i < PHONE_ENTRY_SIZE; ++i) ASSERT_EQ(rest.bytes[i], 0) << "byte " << i;
  EXPECT_EQ(fileBytes("Default.phn"), std::vector<uint8_t>(phone.bytes, phone.bytes + PHONE_ENTRY_SIZE));

  FtpEntry ftp;
  EXPECT_EQ(ftpLoadTemplate(ftp), 1);
  EXPECT_EQ(recordText(ftp.bytes, ftpField::name), "Default");
  EXPECT_FALSE(recordText(ftp.bytes, ftpField::address).empty());
  EXPECT_EQ(recordInt(ftp.bytes, ftpField::port), 0);
  EXPECT_EQ(fileBytes("Default.ftp").size(), FTP_ENTRY_SIZE);
  EXPECT_EQ(ftpLoadTemplate(ftp), 0) << "second start reads the file";
}

TEST_F(BookFiles, AShortFileLeavesTheRestOfTheRecordAsItWas) {
  std::vector<uint8_t> head = patternBytes(100, 5);
  writeFile("Short.tel", head);
  BookEntry e;
  memset(e.bytes, 0x77, sizeof e.bytes);
  EXPECT_EQ(bookLoadEntry("Short", e), 100);
  EXPECT_EQ(memcmp(e.bytes, head.data(), 100), 0);
  for (size_t i = 100; i < BOOK_ENTRY_SIZE; ++i) ASSERT_EQ(e.bytes[i], 0x77) << i;

  EXPECT_EQ(bookLoadEntry("Missing", e), -1);
  EXPECT_EQ(e.bytes[0], head[0]) << "a missing file changes nothing";
}

TEST_F(BookFiles, ANameThatCannotBeAFileNameFailsWithTheMessageAndLosesNothing) {
  BookEntry good = patterned<BookEntry>(bookField::name, "Keep", 6);
  ASSERT_EQ(bookSaveEntry(good), 0);
  const std::vector<uint8_t> kept = fileBytes("Keep.TEL");

  std::vector<std::string> bads = {"", "dot.", "blank ", "CON", "com1", "Lpt9", "nul.x", "..", ".", "COM\xB9",
                                   "lpt\xB3.x", "Com\xC2\xB2", "LPT\xC2\xB9"};
  for (char c : std::string("/\\?:*|\"<>\t")) bads.push_back(std::string("a") + c + "b");
  for (const std::string& name : bads) {
    const char* bad = name.c_str();
    messagesClear();
    BookEntry e = patterned<BookEntry>(bookField::name, bad, 7);
    const BookEntry before = e;
    EXPECT_EQ(bookSaveEntry(e), -1) << "'" << bad << "'";
    ASSERT_EQ(messagesShown().size(), 1u) << bad;
    EXPECT_EQ(messagesShown()[0].text, "Check your service name, failed to create file for this entry");
    EXPECT_EQ(beepsSounded(), 1);
    EXPECT_EQ(memcmp(e.bytes, before.bytes, sizeof e.bytes), 0) << "the record stays in memory";
  }
  EXPECT_EQ(files(), std::vector<std::string>{"Keep.TEL"}) << "nothing written, nothing left over";
  EXPECT_EQ(fileBytes("Keep.TEL"), kept);
  for (const char* fine : {"host.example.com", "My Host", "a-b_c (2)", "COM10", "console", "COM\xB9x", "COM\xC2"})
    EXPECT_TRUE(isValidEntryName(fine)) << fine;
}

TEST_F(BookFiles, AFailedWriteKeepsTheOldEntryWhole) {
  BookEntry first = patterned<BookEntry>(bookField::name, "Host", 8);
  ASSERT_EQ(bookSaveEntry(first), 0);
  // A full disk, as a file size limit: the new record cannot be written.
  signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  BookEntry second = patterned<BookEntry>(bookField::name, "Host", 9);
  int full = bookSaveEntry(second);
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(full, -1);
  EXPECT_EQ(messagesShown().size(), 1u);
  EXPECT_EQ(fileBytes("Host.TEL"), std::vector<uint8_t>(first.bytes, first.bytes + BOOK_ENTRY_SIZE));
  EXPECT_EQ(files(), std::vector<std::string>{"Host.TEL"}) << "no temporary file is left behind";
  EXPECT_EQ(bookSaveEntry(second), 0);
  EXPECT_EQ(fileBytes("Host.TEL"), std::vector<uint8_t>(second.bytes, second.bytes + BOOK_ENTRY_SIZE));
}

// The save through a temporary file keeps what the user set up around the
// entry: its permissions, a link to where it really lives, and it never
// writes through a link someone planted next to it.
TEST_F(BookFiles, ASaveKeepsPermissionsAndLinksAndIgnoresPlantedLinks) {
  FtpEntry ftp = patterned<FtpEntry>(ftpField::name, "Private", 13);
  ASSERT_EQ(ftpSaveEntry(ftp, TXT_ENTRY_SAVE_FAILED), 0);
  for (fs::perms mode : {fs::perms::owner_read | fs::perms::owner_write,
                         fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read}) {
    fs::permissions(dir / "Private.FTP", mode);
    ASSERT_EQ(ftpSaveEntry(ftp, TXT_ENTRY_SAVE_FAILED), 0);
    EXPECT_EQ(fs::status(dir / "Private.FTP").permissions(), mode);
  }

  // A link at the old fixed temporary name, and at its neighbours, must not
  // lead the save to the victim.
  fs::create_directory(dir / "elsewhere");
  writeFile("elsewhere/victim", {'v'});
  for (const char* planted : {"Host.TEL.new", "Host.TEL.tmp", "Host.TEL~"})
    fs::create_symlink(dir / "elsewhere" / "victim", dir / planted);
  BookEntry host = patterned<BookEntry>(bookField::name, "Host", 14);
  ASSERT_EQ(bookSaveEntry(host), 0);
  EXPECT_EQ(fileBytes("elsewhere/victim"), std::vector<uint8_t>{'v'});
  EXPECT_EQ(fileBytes("Host.TEL"), std::vector<uint8_t>(host.bytes, host.bytes + BOOK_ENTRY_SIZE));

  // An entry that is a link (relative, through a second link) stays a link;
  // the file at its end gets the record.
  writeFile("elsewhere/real.TEL", std::vector<uint8_t>(BOOK_ENTRY_SIZE, 0));
  fs::create_symlink("real.TEL", dir / "elsewhere" / "hop");
  fs::create_symlink("elsewhere/hop", dir / "Linked.TEL");
  BookEntry linked = patterned<BookEntry>(bookField::name, "Linked", 15);
  ASSERT_EQ(bookSaveEntry(linked), 0);
  EXPECT_TRUE(fs::is_symlink(dir / "Linked.TEL"));
  EXPECT_TRUE(fs::is_symlink(dir / "elsewhere" / "hop"));
  EXPECT_EQ(fileBytes("elsewhere/real.TEL"), std::vector<uint8_t>(linked.bytes, linked.bytes + BOOK_ENTRY_SIZE));
  EXPECT_EQ(files(), (std::vector<std::string>{"Host.TEL", "Host.TEL.new", "Host.TEL.tmp", "Host.TEL~", "Linked.TEL",
                                               "Private.FTP", "elsewhere"}));
  std::vector<std::string> away;
  for (const auto& e : fs::directory_iterator(dir / "elsewhere")) away.push_back(e.path().filename().string());
  std::sort(away.begin(), away.end());
  EXPECT_EQ(away, (std::vector<std::string>{"hop", "real.TEL", "victim"})) << "no temporary file left there";
  EXPECT_TRUE(messagesShown().empty());
}

// A template of the right size that this user cannot read is not replaced.
// Root reads everything, so the load runs in a child without privileges.
TEST_F(BookFiles, AnUnreadableTemplateIsKeptAndTheDefaultsUsed) {
  BookEntry edited = patterned<BookEntry>(bookField::name, "Default", 16);
  const std::vector<uint8_t> mine(edited.bytes, edited.bytes + BOOK_ENTRY_SIZE);
  writeFile("Default.tel", mine);
  fs::permissions(dir / "Default.tel", fs::perms::none);
  fs::permissions(dir, fs::perms::all);  // the directory itself stays writable
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() == 0 && (!nobody || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)) _exit(10);
    memset(templateEntry.bytes, 0x55, BOOK_ENTRY_SIZE);
    int result = bookLoadTemplate();
    BookEntry defaults = bookDefaultEntry();
    bool usesDefaults = memcmp(templateEntry.bytes, defaults.bytes, BOOK_ENTRY_SIZE) == 0;
    bool warned = messagesShown().size() == 1 && messagesShown()[0].title == "Warning" &&
                  messagesShown()[0].text.find("Default.tel") != std::string::npos;
    _exit(result == 2 && usesDefaults && warned ? 0 : 11);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  fs::permissions(dir / "Default.tel", fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fileBytes("Default.tel"), mine) << "the user's template is kept";
  EXPECT_EQ(files(), std::vector<std::string>{"Default.tel"});
}

TEST_F(BookFiles, NamesThatDifferOnlyInCaseReferToTheSameFile) {
  writeFile("mixed.TeL", std::vector<uint8_t>(BOOK_ENTRY_SIZE, 1));
  BookEntry e{};
  EXPECT_EQ(bookLoadEntry("MIXED", e), static_cast<int>(BOOK_ENTRY_SIZE));
  EXPECT_EQ(e.bytes[0], 1);
  BookEntry renamed = patterned<BookEntry>(bookField::name, "Mixed", 10);
  ASSERT_EQ(bookSaveEntry(renamed), 0);
  EXPECT_EQ(files(), std::vector<std::string>{"mixed.TeL"}) << "the existing file is replaced, not doubled";
  EXPECT_EQ(bookLoadEntry("mixed", e), static_cast<int>(BOOK_ENTRY_SIZE));
  EXPECT_EQ(memcmp(e.bytes, renamed.bytes, BOOK_ENTRY_SIZE), 0);
  EXPECT_EQ(entryFileDelete(TELNET_BOOK, "MiXeD"), 0);
  EXPECT_TRUE(files().empty());
  EXPECT_EQ(entryFileDelete(TELNET_BOOK, "MiXeD"), -1);
}

TEST_F(BookFiles, SavesGoToTheProgramDirectoryWhateverTheCurrentDirectory) {
  std::string previous = fs::current_path().string();
  fs::create_directory(dir / "elsewhere");
  ASSERT_EQ(chdir((dir / "elsewhere").c_str()), 0);
  BookEntry e = patterned<BookEntry>(bookField::name, "Wanderer", 12);
  int saved = bookSaveEntry(e);
  BookEntry back{};
  int loaded = bookLoadEntry("Wanderer", back);
  bool strayed = fs::exists(dir / "elsewhere" / "Wanderer.TEL");
  ASSERT_EQ(chdir(previous.c_str()), 0);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(loaded, static_cast<int>(BOOK_ENTRY_SIZE));
  EXPECT_TRUE(fs::exists(dir / "Wanderer.TEL"));
  EXPECT_FALSE(strayed);
}

// Modem profiles: the makers' file names, slot texts bounded whatever the file
// holds, reserved slots kept, and the image kept when no file opens.
using ModemProfiles = BookDirTest;

TEST(ModemMakers, FileNamesAreTheMakerNameCutToEightCharacters) {
  struct Case {
    int maker;
    const char* file;
  } cases[] = {{8, "Promethu.mdm"}, {14, "Zoom.mdm"}, {-1, "Custom.mdm"}, {65535, "Custom.mdm"}};
  for (const Case& c : cases) EXPECT_EQ(modemProfileFileName(c.maker), c.file) << c.maker;
}

TEST_F(ModemProfiles, SlotsRoundTripThroughTheFileAndReservedBytesAreKept) {
  ModemProfile p;
  std::vector<uint8_t> noise = patternBytes(MODEM_PROFILE_SIZE, 3);
  memcpy(p.bytes, noise.data(), MODEM_PROFILE_SIZE);
  ASSERT_EQ(profileSetSlot(p, SLOT_INIT, "AT&F^M"), 0);
  ASSERT_EQ(profileSetSlot(p, SLOT_RESULT_CARRIER, "CARRIER"), 0);
  ASSERT_EQ(profileSetSlot(p, SLOT_VALID_DIAL, "0123456789*#,"), 0);
  ASSERT_EQ(modemProfileSave(13, p), 0);
  EXPECT_EQ(files(), std::vector<std::string>{"USRoboti.mdm"});

  ModemProfile back;
  memset(back.bytes, 0, sizeof back.bytes);
  EXPECT_EQ(modemProfileLoad(13, back), static_cast<int>(MODEM_PROFILE_SIZE));
  EXPECT_EQ(memcmp(back.bytes, p.bytes, MODEM_PROFILE_SIZE), 0) << "reserved slots and tails kept as read";
  EXPECT_EQ(profileSlot(back, SLOT_INIT), "AT&F^M");
  EXPECT_EQ(profileSlot(back, SLOT_RESULT_CARRIER), "CARRIER");
  EXPECT_EQ(profileSlot(back, SLOT_VALID_DIAL), "0123456789*#,");
  EXPECT_EQ(memcmp(back.bytes + 14 * 80, noise.data() + 14 * 80, 9 * 80), 0);
  EXPECT_EQ(memcmp(back.bytes + 24 * 80, noise.data() + 24 * 80, 4 * 80), 0);
}

TEST_F(ModemProfiles, SlotTextsStayInsideTheirSlot) {
  ModemProfile p;
  memset(p.bytes, 'A', sizeof p.bytes);
  for (int slot = 0; slot < PROFILE_SLOTS; ++slot) EXPECT_EQ(profileSlot(p, slot), std::string(78, 'A'));
  EXPECT_EQ(profileSlot(p, -1), "");
  EXPECT_EQ(profileSlot(p, 28), "");

  std::string long79(79, 'x');
  EXPECT_EQ(profileSetSlot(p, SLOT_HANGUP, long79.c_str()), -1);
  EXPECT_EQ(profileSlot(p, SLOT_HANGUP), std::string(78, 'x'));
  EXPECT_EQ(p.bytes[3 * 80 + 78], 0);
  EXPECT_EQ(p.bytes[4 * 80], 'A') << "the next slot is untouched";
  EXPECT_EQ(profileSetSlot(p, 28, "x"), -1);
  EXPECT_EQ(profileSetSlot(p, -1, "x"), -1);
  EXPECT_EQ(p.bytes[0], 'A');
}

TEST_F(ModemProfiles, AProfileThatCannotBeOpenedLeavesTheImage) {
  ModemProfile p;
  memset(p.bytes, 0, sizeof p.bytes);
  profileSetSlot(p, SLOT_RESULT_OK, "OK");
  EXPECT_EQ(modemProfileLoad(4, p), -1);
  EXPECT_EQ(profileSlot(p, SLOT_RESULT_OK), "OK");

  // A file of any case is found; a short one replaces the whole image, the
  // part it lacks with zeros, so no other maker's strings stay behind.
  std::vector<uint8_t> head(80, 0);
  memcpy(head.data(), "ATDT", 4);
  writeFile("hAyEs.MDM", head);
  memset(p.bytes + 80, 'Z', sizeof p.bytes - 80);
  EXPECT_EQ(modemProfileLoad(4, p), 80);
  EXPECT_EQ(profileSlot(p, SLOT_DIAL_SUFFIX), "ATDT");
  EXPECT_EQ(std::vector<uint8_t>(p.bytes + 80, p.bytes + MODEM_PROFILE_SIZE),
            std::vector<uint8_t>(MODEM_PROFILE_SIZE - 80, 0));
  EXPECT_EQ(modemProfileSave(4, p), 0);
  EXPECT_EQ(files(), std::vector<std::string>{"hAyEs.MDM"});
  EXPECT_EQ(fileBytes("hAyEs.MDM").size(), MODEM_PROFILE_SIZE);
}
}  // namespace
