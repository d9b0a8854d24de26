// Under Wine: entry files on a file system that ignores case, and the registry
// store (values under the suite's key as strings, read back bounded).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "shell/book_entry.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "win32_driver.h"

namespace fs = std::filesystem;

namespace {
// Saving under a name of another case replaces the file.
TEST(WineBook, ARenameByCaseReplacesTheFile) {
  fs::path dir = freshProgramDir("book-");
  EXPECT_EQ(bookLoadTemplate(), 1);
  BookEntry e = templateEntry;
  for (const char* name : {"Wine Host", "WINE HOST"}) {
    recordSetText(e.bytes, bookField::name, name);
    recordSetText(e.bytes, bookField::address, name);
    ASSERT_EQ(bookSaveEntry(e), 0) << name;
  }
  BookEntry back{};
  ASSERT_EQ(bookLoadEntry("wine host", back), static_cast<int>(BOOK_ENTRY_SIZE));
  EXPECT_EQ(recordText(back.bytes, bookField::address), "WINE HOST");
  EXPECT_EQ(entryList(TELNET_BOOK).size(), 2u) << "Default and one Wine Host";
  EXPECT_TRUE(fs::exists(dir / "Wine Host.TEL"));
  EXPECT_FALSE(fs::exists(dir / "Wine Host.TEL.new"));
  std::error_code ec;
  fs::remove_all(dir, ec);
}

// Values land under the suite's key under HKLM as strings without their NUL,
// names without regard to case; copies are bounded by the buffer and 1024.
TEST(Registry, StringsUnderTheKeyAndBoundedCopies) {
  ASSERT_EQ(regWriteString("BookBox_Telnet", "103"), 0);
  EXPECT_EQ(regReadInt("Bookbox_Telnet", 107), 103);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelvro32", 0, KEY_READ, &key), ERROR_SUCCESS);
  char raw[32] = {};
  DWORD type = 0, size = sizeof raw;
  EXPECT_EQ(RegQueryValueExA(key, "BookBox_Telnet", nullptr, &type, reinterpret_cast<BYTE*>(raw), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(raw, "103");

  // The start-up choice of the FTP program when none is stored.
  deleteSetting("BookBox_FTP");
  EXPECT_EQ(regReadInt(FTP_SETTINGS.bookBox, FTP_SETTINGS.bookBoxAtStartup), 103);
  deleteSetting("email");
  char small[8];
  EXPECT_EQ(regReadString("email", "defaultvalue", small, 4), 3);
  EXPECT_STREQ(small, "def");
  ASSERT_EQ(regWriteString("email", std::string(3000, 'v').c_str()), 0);
  std::vector<char> big(4000, 'x');
  EXPECT_EQ(regReadString("email", "", big.data(), big.size()), 1024);
  EXPECT_EQ(strlen(big.data()), 1024u);
  EXPECT_EQ(regReadString("EMAIL", "", small, sizeof small), 7);
  EXPECT_STREQ(small, "vvvvvvv");
  for (const char* name : {"email", "BookBox_Telnet"}) deleteSetting(name);
}
}  // namespace
