// Under Wine: the string table compiled into the program matches what the
// portable code shows, entry files keep their rules on the real file system,
// and the registry store gives its defaults when values are absent.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "shell/book_entry.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/program_dir.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"

namespace fs = std::filesystem;

namespace {
TEST(StringTable, ResourceTextsAreTheTextsOfThePortableTable) {
  for (int id : {TXT_NO_SERVICE_NAME, TXT_NO_ADDRESS, TXT_ENTRY_CREATE_FAILED, TXT_ENTRY_SAVE_FAILED}) {
    char loaded[513] = {};
    int n = LoadStringA(GetModuleHandleA(nullptr), id, loaded, sizeof loaded);
    EXPECT_GT(n, 0) << id;
    EXPECT_STREQ(loaded, messageText(id)) << id;
  }
  char none[16] = "unchanged";
  EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 3999, none, sizeof none), 0);
}

class WineBook : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    dir = fs::path(base) / ("book-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    setProgramDir(dir.string());
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::vector<uint8_t> fileBytes(const char* name) {
    std::ifstream in(dir / name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

TEST_F(WineBook, SavingReplacesAnExistingEntryOfAnyCase) {
  EXPECT_EQ(bookLoadTemplate(), 1);
  EXPECT_EQ(fileBytes("Default.tel").size(), BOOK_ENTRY_SIZE);
  BookEntry e = templateEntry;
  recordSetText(e.bytes, bookField::name, "Wine Host");
  recordSetText(e.bytes, bookField::address, "first.example");
  ASSERT_EQ(bookSaveEntry(e), 0);
  recordSetText(e.bytes, bookField::name, "WINE HOST");
  recordSetText(e.bytes, bookField::address, "second.example");
  ASSERT_EQ(bookSaveEntry(e), 0) << "the rename must replace the file";
  BookEntry back{};
  ASSERT_EQ(bookLoadEntry("wine host", back), static_cast<int>(BOOK_ENTRY_SIZE));
  EXPECT_EQ(recordText(back.bytes, bookField::address), "second.example");
  EXPECT_EQ(entryList(TELNET_BOOK).size(), 2u) << "Default and one Wine Host";
  EXPECT_TRUE(fs::exists(dir / "Wine Host.TEL"));
  EXPECT_FALSE(fs::exists(dir / "Wine Host.TEL.new"));
}

TEST_F(WineBook, ADeviceOrIllegalNameIsRefused) {
  for (const char* bad : {"COM1", "a:b", "x?"}) {
    BookEntry e = bookDefaultEntry();
    recordSetText(e.bytes, bookField::name, bad);
    EXPECT_EQ(entryFileWrite(TELNET_BOOK, e.bytes), -1) << bad;
  }
  EXPECT_TRUE(fs::is_empty(dir));
}

void deleteValue(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, name);
    RegCloseKey(key);
  }
}

TEST(RegistryDefaults, AbsentValuesGiveTheirDefaults) {
  for (const char* name : {"ftpw", "ftph", "ftpx", "ftpy", "scroll", "FirewallPortFTP", "BookBox_FTP"})
    deleteValue(name);
  WindowPlacement w = readWindowPlacement(FTP_SETTINGS);
  EXPECT_TRUE(w.systemDefault);
  EXPECT_EQ(readScrollLines(), 1000);
  EXPECT_EQ(readFirewallPort(FTP_SETTINGS), 23);
  EXPECT_EQ(regReadInt(FTP_SETTINGS.bookBox, FTP_SETTINGS.bookBoxAtStartup), 103);

  writeWindowPlacement(FTP_SETTINGS, {5, 6, 700, 500, false});
  w = readWindowPlacement(FTP_SETTINGS);
  EXPECT_FALSE(w.systemDefault);
  EXPECT_EQ(w.width, 700);
  EXPECT_EQ(w.top, 6);
  for (const char* name : {"ftpw", "ftph", "ftpx", "ftpy"}) deleteValue(name);
}

TEST(RegistryDefaults, LongValuesAreCutToTheBufferAndTo1024Bytes) {
  std::string text(3000, 'v');
  ASSERT_EQ(regWriteString("email", text.c_str()), 0);
  std::vector<char> big(4000, 'x');
  EXPECT_EQ(regReadString("email", "", big.data(), big.size()), 1024);
  EXPECT_EQ(strlen(big.data()), 1024u);
  char small[8];
  EXPECT_EQ(regReadString("EMAIL", "", small, sizeof small), 7);
  EXPECT_STREQ(small, "vvvvvvv");
  deleteValue("email");
}
}  // namespace
