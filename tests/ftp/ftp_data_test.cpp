// Data commands against a scripted control connection and a data peer of our
// own: malformed and refused replies at each step, time limits, the download
// blocks, local failures and the abort of a listing.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "ftp/ftp_session.h"
#include "ftp/system_type.h"
#include "shell/pump.h"
#include "terminal/link.h"
#include "tests/ftp/ftp_harness.h"
#include "tests/support/file_text.h"
#include "tests/support/peers.h"

namespace {
using S = std::vector<ScriptStep>;

std::string tempDir() {
  char dir[] = "/tmp/ftp-data.XXXXXX";
  return mkdtemp(dir) ? dir : "/tmp";
}

struct RefusalCase {
  const char* what;
  bool passive, recover;
  const char* name;
  S steps;  // after TYPE I
};

// Refusals and malformed replies at each step: the command ends with -1 and
// TYPE A N follows (the script fails on any other command, a RETR after a
// broken PASV reply included).
TEST(FtpData, RefusalsAtEachStep) {
  std::string dir = tempDir();
  std::ofstream(dir + "/part", std::ios::binary) << "xyz";
  // A local file over 4 GiB resumes at its whole size.
  std::ofstream(dir + "/huge").close();
  ASSERT_EQ(truncate((dir + "/huge").c_str(), 5368709120LL), 0);
  std::vector<RefusalCase> cases = {
      {"PASV refused: PORT instead, RETR refused", true, false, "part",
       talk({"PASV", "425 no"}) + S{scriptExpect("PORT 127,0,0,1,"), scriptSend("200 ok\r\n")} +
           talk({"RETR part", "425 Can't open data connection"})},
      {"REST refused", false, true, "part",
       S{scriptExpect("PORT "), scriptSend("200 ok\r\n")} + talk({"REST 3", "530 no"})},
      {"REST of a 5 GB file", false, true, "huge",
       S{scriptExpect("PORT "), scriptSend("200 ok\r\n")} +
           talk({"REST 5368709120", "350 ok", "RETR huge", "530 not logged in"})},
  };
  for (const char* pasv : {"227 Entering Passive Mode 127,0,0,1,4,1", "227 (127,0,0,1,256,1)",
                           "227 (127,0,0,1,4)", "227 (127,0,0,1,4,1", "227 (a,b,c,d,e,f)", "227 (1270,0,0,1,4,1)"})
    cases.push_back({pasv, true, false, "x", talk({"PASV", pasv})});
  for (RefusalCase& c : cases) {
    Scripted server(talk({"TYPE I", "200 ok"}) + c.steps + talk({"TYPE A N", "200 ok"}));
    ASSERT_TRUE(server.connected);
    ftp.binary = true;
    ftp.passive = c.passive;
    ftp.recover = c.recover;
    ftp.localDir = dir;
    ftp.localName = c.name;
    EXPECT_EQ(RunDataCommand(("RETR " + ftp.localName + "\r\n").c_str(), KIND_GET), -1) << c.what;
    server.end();
    EXPECT_EQ(ftp.listenSocket, FTP_NO_SOCKET) << c.what;
  }
  EXPECT_EQ(readFile(dir + "/part"), "xyz") << "a refused resume leaves the file alone";
  std::system(("rm -rf " + dir).c_str());
}

// Downloads from a data peer of our own: 2500 bytes arrive as blocks of 1024,
// 1024 and 452, each fed to the viewer, whatever size was announced; a data
// connection that breaks keeps the whole blocks that arrived; a full disk
// ends as terminated, not as done.
TEST(FtpData, DownloadBlocksAndFailures) {
  std::string dir = tempDir(), bytes, b2500(2500, 'b');
  for (int i = 0; i < 2500; ++i) bytes += static_cast<char>(i * 31);
  const S done = S{scriptPause(200), scriptSend("226 done\r\n")};
  struct Case {
    const char* what;
    bool binary, broken;
    std::string localDir, name, sent, announced;
    S end;  // the server's steps after "150"
    int result;
    const char* status;
    std::string file;
  } cases[] = {
      {"announced", true, false, dir, "pic.jpg", bytes, "(2500 bytes)", done, 0, "Done", bytes},
      {"negative size", true, false, dir, "pic.jpg", bytes, "(-5 bytes)", done, 0, "Done", bytes},
      {"broken", false, true, dir, "f", b2500, "(2500 bytes)", S{scriptPause(300), scriptSend("426 broken\r\n")}, -1,
       "Transfer terminated", b2500.substr(0, 2048)},
      {"full disk", false, false, "/dev", "full", std::string(5000, 'q'), "", talk({"ABOR", "426 aborted\r\n226 ok"}),
       -1, "Transfer terminated", ""},
  };
  for (const Case& c : cases) {
    DataPeer data;
    ASSERT_TRUE(dataPeerStart(&data, c.sent, false, c.broken));
    Scripted server(talk({c.binary ? "TYPE I" : "TYPE A N", "200 ok", "PASV", pasvReply(data), "RETR " + c.name,
                          "150 Opening " + c.name + " " + c.announced}) +
                    c.end + talk({"TYPE A N", "200 ok"}));
    ASSERT_TRUE(server.connected);
    ftp.binary = c.binary;
    ftp.passive = ftp.realtimeJpeg = true;
    ftp.localDir = c.localDir;
    ftp.localName = c.name;
    ASSERT_EQ(RunDataCommand(("RETR " + c.name + "\r\n").c_str(), KIND_GET), 0) << c.what;
    EXPECT_EQ(ftpDownloadRun(), c.result) << c.what;
    EXPECT_EQ(ftpRecord.statuses.back(), c.status) << c.what;
    int finished = ftpTransferFinish();
    server.end();
    if (c.localDir != dir) continue;
    EXPECT_EQ(readFile(dir + "/" + c.name), c.file) << c.what;
    if (c.result == 0) {
      EXPECT_EQ(finished, 0);
      EXPECT_EQ(ftp.announcedSize, c.announced[1] == '2' ? 2500 : 0) << c.what;
      EXPECT_EQ(ftpRecord.feedBlocks, 3);
      EXPECT_EQ(ftpRecord.progress, (std::vector<int64_t>{1024, 2048, 2500}));
    }
  }
  std::system(("rm -rf " + dir).c_str());
}

// The transfer dialog's figures: no rate in the first second, the rate over
// the bytes of this run only, the percentage capped at 100, the time left
// clamped.
TEST(FtpData, ProgressFigures) {
  struct {
    int64_t restart, offset, size;
    uint32_t elapsed;
    long rate;
    uint32_t remaining;
    int percent;
  } cases[] = {{0, 5000, 10000, 999, 0, 0, 50},         {0, 5000, 10000, 2500, 2500, 2000, 50},
               {4096, 6096, 0, 2000, 1000, 0, -1},      {0, 12000, 10000, 3000, 4000, 0, 100},
               {0, 9999, 10000, 1000, 9999, 0, 99},
               // A hostile size: the time left is clamped, not cast out of range.
               {0, 1000, 100000000000000000LL, 1000, 1000, 4294967295u, 0}};
  for (auto& c : cases) {
    ftpHarnessReset(false);
    ftp.restartOffset = c.restart;
    ftp.offset = c.offset;
    ftp.announcedSize = c.size;
    ftp.startTick = clockTicks();
    clockAdvance(c.elapsed);
    FtpProgress p = ftpProgressNow(false);
    EXPECT_EQ(p.rate, c.rate) << c.offset << "/" << c.elapsed;
    EXPECT_EQ(p.remainingMs, c.remaining) << c.offset << "/" << c.elapsed;
    EXPECT_EQ(p.percent, c.percent) << c.offset << "/" << c.elapsed;
  }
}

TEST(FtpData, AnnouncedSizes) {
  struct {
    const char* text;
    int64_t size;
    const char* shown;
  } cases[] = {{"Opening BINARY mode data connection for x (1234 bytes)", 1234, "1234 "},
               {"Opening (x) for y (12 Bytes).", 12, "12 "},
               {"Opening ( 7 BYTES)", 7, " 7 "},
               {"(-5 bytes)", 0, "Unknown"},
               {"Opening x (5)", 0, "Unknown"},
               {"bytes (5)", 0, "Unknown"},
               {"(99999999999999999999999 bytes)", 999999999999999999LL, "99999999999999999999999 "}};
  for (auto& c : cases) {
    std::string shown;
    EXPECT_EQ(ftpAnnouncedSize(c.text, &shown), c.size) << c.text;
    EXPECT_EQ(shown, c.shown) << c.text;
  }
}

// An unreadable file ends as terminated, not as done.
TEST(FtpData, UnreadableUploadTerminatesTheTransfer) {
  DataPeer sink;
  ASSERT_TRUE(dataPeerStart(&sink, "", true));
  Scripted server2(talk({"TYPE A N", "200 ok", "PASV", pasvReply(sink), "STOR tmp", "150 go"}) +
                   S{scriptPause(100), scriptSend("226 stored\r\n")} + talk({"TYPE A N", "200 ok"}));
  ASSERT_TRUE(server2.connected);
  ftp.passive = true;
  ftp.localPath = "/tmp";  // a directory: opens, but cannot be read
  ASSERT_EQ(RunDataCommand("STOR tmp\r\n", KIND_PUT), 0);
  ftpUploadRun();
  EXPECT_EQ(ftpRecord.statuses.back(), "Transfer terminated");
  ftpTransferFinish();
}

// Ctrl-C during a listing: the abort sequence, then one reply, or two after a
// 426; the listing's code is the last one read.
void abortOnFirstBytes(const char* bytes, int length) {
  ftpRecord.view.append(bytes, static_cast<size_t>(length));
  if (ftp.listingRunning) ftpTypedChar(0x03);
}

TEST(FtpData, AbortOfAListing) {
  struct {
    const char* replies;
    int code;
  } cases[] = {{"226 done\r\n225 abor ok\r\n", 225}, {"426 broken\r\n226 abor ok\r\n", 226}};
  for (auto& c : cases) {
    DataPeer data;
    ASSERT_TRUE(dataPeerStart(&data, std::string(100000, 'l')));
    Scripted server(talk({"PASV", pasvReply(data), "LIST", "150 go"}) + S{scriptExpect("\xff\xf4")} +
                    talk({"ABOR", c.replies, "NOOP", "200 ok"}));
    ASSERT_TRUE(server.connected);
    ftp.passive = true;
    ftp.connected = true;
    ftp.busy = true;
    ftpHooks.writeSession = abortOnFirstBytes;
    ftp.listingRunning = true;
    EXPECT_EQ(RunDataCommand("LIST\r\n", KIND_DIR), c.code);
    ftp.listingRunning = false;
    EXPECT_EQ(SendFtpCommand("NOOP\r\n", KIND_OTHER), 200);
  }
}
}  // namespace
