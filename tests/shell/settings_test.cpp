// Program-wide settings through the store with their defaults, and the
// message box texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "tests/shell/book_fixture.h"

namespace {
using Settings = BookDirTest;

TEST_F(Settings, DefaultsWhenAbsent) {
  EXPECT_EQ(readScrollLines(), 1000);
  EXPECT_EQ(regReadInt(TELNET_SETTINGS.bookBox, TELNET_SETTINGS.bookBoxAtStartup), 107);
  EXPECT_EQ(regReadInt(DIALUP_SETTINGS.bookBox, DIALUP_SETTINGS.bookBoxAtStartup), 0);
  EXPECT_EQ(readFirewallPort(TELNET_SETTINGS), 23);
  EXPECT_EQ(readFirewallAddress(FTP_SETTINGS), "");
  EXPECT_TRUE(readWindowPlacement(DIALUP_SETTINGS).systemDefault);
  EXPECT_EQ(settingsCount(), 0) << "reading never stores";
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

TEST_F(Settings, MessagesShowTheTableTextAndTheExtraText) {
  messageBox(TXT_NO_ADDRESS, nullptr, MSG_OK);
  messageBox(0, "only this", MSG_OK);
  messageBox(TXT_ENTRY_SAVE_FAILED, ": x.ftp", MSG_OK);
  messageBoxTitled(TXT_ENTRY_CREATE_FAILED, nullptr, "Error", MSG_OK);
  ASSERT_EQ(messagesShown().size(), 4u);
  EXPECT_EQ(messagesShown()[0].text, "No address specified");
  EXPECT_EQ(messagesShown()[0].title, "Message");
  EXPECT_EQ(messagesShown()[1].text, "only this");
  EXPECT_EQ(messagesShown()[2].text, "Check service name, failed to create file: x.ftp");
  EXPECT_EQ(messagesShown()[3].title, "Error");
  EXPECT_STREQ(messageText(0), "");
  EXPECT_STREQ(messageText(3999), "");
}
}  // namespace
