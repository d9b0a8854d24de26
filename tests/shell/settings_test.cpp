// Program-wide settings through the store with their defaults.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "tests/shell/book_fixture.h"

namespace {
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
