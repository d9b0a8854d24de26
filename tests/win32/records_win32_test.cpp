// Under Wine: the string table compiled into the program matches what the
// portable code shows, entry files keep their rules on the real file system,
// and the registry store keeps its rules.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "shell/book_entry.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/program_dir.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "win32_driver.h"

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

// Saving under a name of another case replaces the file; device and illegal
// names are refused before anything is written.
TEST(WineBook, EntryFilesKeepTheirRulesOnTheRealFileSystem) {
  char base[MAX_PATH];
  GetTempPathA(sizeof base, base);
  fs::path dir = fs::path(base) / ("book-" + std::to_string(GetCurrentProcessId()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  setProgramDir(dir.string());
  for (const char* bad : {"COM1", "a:b", "x?"}) {
    BookEntry e = bookDefaultEntry();
    recordSetText(e.bytes, bookField::name, bad);
    EXPECT_EQ(entryFileWrite(TELNET_BOOK, e.bytes), -1) << bad;
  }
  EXPECT_TRUE(fs::is_empty(dir));
  EXPECT_EQ(bookLoadTemplate(), 1);
  EXPECT_EQ(fs::file_size(dir / "Default.tel"), BOOK_ENTRY_SIZE);
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
  std::error_code ec;
  fs::remove_all(dir, ec);
}

// Values land under the suite's key as strings, names without regard to case;
// absent values give their defaults; copies are bounded by the buffer and 1024.
TEST(Registry, RoundTripDefaultsAndBoundedCopies) {
  ASSERT_EQ(regWriteString("BookBox_Telnet", "103"), 0);
  EXPECT_EQ(regReadInt("Bookbox_Telnet", 107), 103);
  HKEY key;  // read back with the raw API: a string value without its NUL, under HKLM
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelvro32", 0, KEY_READ, &key), ERROR_SUCCESS);
  char raw[32] = {};
  DWORD type = 0, size = sizeof raw;
  EXPECT_EQ(RegQueryValueExA(key, "BookBox_Telnet", nullptr, &type, reinterpret_cast<BYTE*>(raw), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(raw, "103");

  for (const char* name : {"ftpw", "ftph", "ftpx", "ftpy", "scroll", "FirewallPortFTP", "BookBox_FTP"})
    deleteSetting(name);
  EXPECT_TRUE(readWindowPlacement(FTP_SETTINGS).systemDefault);
  EXPECT_EQ(readScrollLines(), 1000);
  EXPECT_EQ(readFirewallPort(FTP_SETTINGS), 23);
  EXPECT_EQ(regReadInt(FTP_SETTINGS.bookBox, FTP_SETTINGS.bookBoxAtStartup), 103);
  char small[8];
  EXPECT_EQ(regReadString("scroll", "defaultvalue", small, 4), 3);
  EXPECT_STREQ(small, "def");
  writeWindowPlacement(FTP_SETTINGS, {5, 6, 700, 500, false});
  WindowPlacement w = readWindowPlacement(FTP_SETTINGS);
  EXPECT_FALSE(w.systemDefault);
  EXPECT_EQ(w.width, 700);
  EXPECT_EQ(w.top, 6);
  ASSERT_EQ(regWriteString("telnetw", "wide"), 0);
  EXPECT_EQ(regReadInt("telnetw", 5), 0) << "text that is not a number reads as 0";

  ASSERT_EQ(regWriteString("email", std::string(3000, 'v').c_str()), 0);
  std::vector<char> big(4000, 'x');
  EXPECT_EQ(regReadString("email", "", big.data(), big.size()), 1024);
  EXPECT_EQ(strlen(big.data()), 1024u);
  EXPECT_EQ(regReadString("EMAIL", "", small, sizeof small), 7);
  EXPECT_STREQ(small, "vvvvvvv");
  for (const char* name : {"ftpw", "ftph", "ftpx", "ftpy", "email", "telnetw", "BookBox_Telnet"}) deleteSetting(name);
}
}  // namespace
