// The FTP line under the frame's session life cycle, against a real vsftpd
// on loopback: the session comes up logged in, typed commands show their
// replies in the plain view, a second open is refused, the server's close
// ends the session once; a refused connection ends the attempt. And the
// entry rules of the FTP program: a command line's host and a quick
// connection change only the host and the port of an existing entry, and a
// display name that would leave the program directory is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "frame/connection.h"
#include "frame/frame_session.h"
#include "frame/frame_texts.h"
#include "frame/frame_ui_posix.h"
#include "ftp/ftp_connection.h"
#include "ftp/ftp_session.h"
#include "shell/book_list.h"
#include "shell/ftp_entry.h"
#include "shell/host_command_line.h"
#include "shell/message_box_posix.h"
#include "shell/message_ids.h"
#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "terminal/terminal_state.h"
#include "tests/shell/book_fixture.h"
#include "tests/support/ftp_peers.h"
#include "tests/support/peers.h"
#include "tests/support/screen_text.h"

namespace {
class FtpLine : public BookDirTest {
 protected:
  FtpPeer peer;
  FtpEntry entry = ftpDefaultEntry();

  void SetUp() override {
    BookDirTest::SetUp();
    clockUseRealTime();
    terminalReset(24, 132, 200);
    frameUiSteps().clear();
    ftpResetHooks();
    recordSetText(entry.bytes, ftpField::name, "peer");
    recordSetText(entry.bytes, ftpField::address, "127.0.0.1");
  }
  void TearDown() override {
    frameClose();
    frameReset(&IDLE_CONNECTION, nullptr);
    ftpSessionReset();
    if (peer.pid > 0) ftpPeerStop(&peer);
    BookDirTest::TearDown();
  }
  // The line set up over the entry, offline; with a server, the entry points at it.
  void offline(bool server = true) {
    if (server) {
      std::string why;
      ASSERT_TRUE(ftpPeerStart(FTP_VSFTPD, &peer, &why)) << why;
      recordSetInt(entry.bytes, ftpField::port, peer.port);
    }
    frameReset(&FTP_CONNECTION, entry.bytes);
    frameStartOffline();
  }
  // The idle watch run until done() or for rounds of 20 ms.
  static void pollUntil(const std::function<bool()>& done, int rounds = 100) {
    for (int i = 0; i < rounds && !done(); ++i) {
      ftpLinePoll();
      clockSleep(20);
    }
    ftpLinePoll();
  }
  static bool viewHas(const std::string& text) { return screenText().find(text) != std::string::npos; }
  static void typeLine(const std::string& line) {
    for (char c : line) ftpTypedChar(static_cast<uint8_t>(c));
    ftpTypedChar('\r');
  }
};
}  // namespace

TEST_F(FtpLine, LoggedInTypedCommandsSecondOpenRefusedAndServerGoneOnce) {
  recordSetText(entry.bytes, ftpField::userName, "peertest");
  recordSetText(entry.bytes, ftpField::password, "peerpass");
  offline();
  ftpLineSetLogin(true);

  ASSERT_EQ(frameOpen(profileFromFtp(entry)), 0);
  EXPECT_EQ(frameSession.state, FrameState::Online);
  char status[128];
  frameSession.connection->statusText(status, sizeof status);
  EXPECT_STREQ(status, "127.0.0.1 is connected");

  EXPECT_LT(frameOpen(profileFromFtp(entry)), 0);
  ASSERT_EQ(messagesShown().size(), 1u);
  EXPECT_EQ(messagesShown()[0].id, TXT_HANG_UP_FIRST);
  EXPECT_EQ(frameSession.state, FrameState::Online);

  // While a transfer runs, its reply is left to it: the idle watch reads nothing.
  ASSERT_EQ(SendControlBytes(reinterpret_cast<const uint8_t*>("NOOP\r\n"), 6), 0);
  ftp.transferRunning = true;
  pollUntil([] { return false; }, 10);
  EXPECT_EQ(ReadFtpReplyWithin(KIND_OTHER, 3000), 200);
  ftp.transferRunning = false;

  // The server closes after QUIT's reply: the idle watch ends the session, once.
  typeLine("quit");
  pollUntil([] { return frameSession.state != FrameState::Online; });
  EXPECT_EQ(frameSession.state, FrameState::Offline);
  EXPECT_EQ(frameUiSteps(), "offline(startup) online offline ");
}

TEST_F(FtpLine, OpenWithoutLoginWaitsForTypedCommandsAndDisconnectEndsOnceKeepingTheSettings) {
  recordSetInt(entry.bytes, ftpField::binary, 1);
  offline();
  ftpLineSetLogin(false);
  ASSERT_EQ(frameOpen(profileFromFtp(entry)), 0);
  ftpLineSetLogin(true);
  EXPECT_FALSE(viewHas("USER")) << screenText();
  // The greeting arrives unasked: the idle watch shows it.
  pollUntil([] { return viewHas("220 "); });
  EXPECT_TRUE(viewHas("220 ")) << screenText();
  EXPECT_TRUE(ftp.binary);
  typeLine("user anonymous");
  EXPECT_TRUE(viewHas("USER anonymous")) << screenText();
  // A typed ascii leaves text transfers set, and the entry keeps that.
  typeLine("ascii");
  EXPECT_TRUE(viewHas("TYPE A N")) << screenText();
  frameClose();
  EXPECT_EQ(recordInt(entry.bytes, ftpField::binary), 0);
  EXPECT_TRUE(viewHas("QUIT")) << screenText();
  EXPECT_EQ(frameSession.state, FrameState::Offline);
  EXPECT_EQ(frameUiSteps(), "offline(startup) online offline ");
}

TEST_F(FtpLine, ARefusedConnectionEndsTheAttempt) {
  recordSetInt(entry.bytes, ftpField::port, freeTcpPort());
  offline(false);
  EXPECT_LT(frameOpen(profileFromFtp(entry)), 0);
  EXPECT_EQ(frameSession.state, FrameState::Offline);
  EXPECT_EQ(frameUiSteps(), "offline(startup) ended ");
}

TEST_F(FtpLine, CommandLineAndQuickConnectChangeOnlyHostAndPortOfAnExistingEntry) {
  FtpEntry saved = ftpDefaultEntry();
  recordSetText(saved.bytes, ftpField::name, "files.example.org");
  recordSetText(saved.bytes, ftpField::address, "old.example.org");
  recordSetText(saved.bytes, ftpField::userName, "keeper");
  recordSetText(saved.bytes, ftpField::password, "secret");
  recordSetInt(saved.bytes, ftpField::savePassword, 1);
  recordSetInt(saved.bytes, ftpField::passive, 1);
  ASSERT_EQ(ftpSaveEntry(saved, TXT_ENTRY_CREATE_FAILED), 0);
  const FtpEntry templ = ftpDefaultEntry();

  CommandLine line;
  ASSERT_EQ(parseCommandLine("files.example.org/ 2121", &line), 0);
  FtpEntry fromLine = templ;
  ASSERT_EQ(entryForCommandLine(line, FTP_BOOK, ftpField::address, ftpField::port, fromLine.bytes), 1);

  const BookView view{&FTP_BOOK, ftpField::address, ftpField::port};
  FtpEntry quick{};
  ASSERT_EQ(quickConnectEntry(view, templ.bytes, "files.example.org", "2121", quick.bytes), 1);

  for (const FtpEntry* e : {&fromLine, &quick}) {
    EXPECT_EQ(recordText(e->bytes, ftpField::address), "files.example.org");
    EXPECT_EQ(recordInt(e->bytes, ftpField::port), 2121);
    EXPECT_EQ(recordText(e->bytes, ftpField::userName), "keeper");
    EXPECT_EQ(recordText(e->bytes, ftpField::password), "secret");
    EXPECT_EQ(recordInt(e->bytes, ftpField::passive), 1);
  }
}

TEST_F(FtpLine, EntryNamesThatLeaveTheProgramDirectoryAreRefused) {
  for (const char* name : {"../outside", "..", "sub/entry", "sub\\entry", "C:entry", "\\\\server\\share"}) {
    SCOPED_TRACE(name);
    messagesClear();
    FtpEntry e = ftpDefaultEntry();
    recordSetText(e.bytes, ftpField::name, name);
    EXPECT_EQ(ftpSaveEntry(e, TXT_ENTRY_CREATE_FAILED), -1);
    ASSERT_EQ(messagesShown().size(), 1u);
    EXPECT_EQ(messagesShown()[0].id, TXT_ENTRY_CREATE_FAILED);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.parent_path() / "outside.FTP"));
  EXPECT_TRUE(std::filesystem::is_empty(dir));
}
