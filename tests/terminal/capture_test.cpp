// Capture and transparent printing driven by received bytes through the
// receive path, with the log and spool files on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "terminal/capture.h"
#include "terminal/notice_posix.h"
#include "terminal/print_posix.h"
#include "terminal/terminal_type.h"
#include "terminal/transparent_print.h"
#include "terminal_harness.h"
#include "tests/support/file_text.h"

namespace fs = std::filesystem;
using harness::feed;

namespace {

struct CaptureTest : ::testing::Test {
  std::string dir;
  std::string log;
  void SetUp() override {
    char tmpl[] = "/tmp/capture-test.XXXXXX";
    dir = mkdtemp(tmpl);
    log = captureLogPath(dir, "/nonexistent", "host");
    harness::reset();
    printHooksInstall();
    noticeLog() = NoticeLog{};
    printedSpools().clear();
    setSpoolPath(dir + "/temp.txt");
    setTransparentPrintEnabled(true);
    terminalOptions.stripHighBit = false;
  }
  void TearDown() override {
    stopCapture(false);
    endTransparentPrint(false);
    chmod(dir.c_str(), 0700);
    fs::remove_all(dir);
  }
  std::string captured(const std::string& bytes) {
    EXPECT_EQ(startCapture(log), 0);
    feed(bytes);
    stopCapture(false);
    return readFile(log);
  }
};

TEST_F(CaptureTest, StoresTheTextTheHostSent) {
  struct Case { std::string in, out; int emulation = TERM_VT100; } cases[] = {
      {"a\tb", "a       b"},                         // TAB from the cursor's column
      {"abcdefgh\tx", "abcdefgh        x"},          // a TAB at column 8 goes to 16
      {"\x1b[3;20H\tx", "     x"},                   // from where the cursor was put
      {"\x1b[31mtext\x1b[0m", "text"},             // sequences never reach the log
      {"a\x1b[1mb\r\n", "a\x1b[1mb\r\n", TERM_TTY},  // unless the emulation shows them as text
      {"line\r\n", "line\r\n"},
      {std::string("a\0b", 3), "ab"},                // NUL dropped
      {"\x1b" "7x\x1b" "8y", "xy"},
  };
  for (const Case& c : cases) {
    harness::reset(c.emulation);
    printHooksInstall();
    EXPECT_EQ(captured(c.in), c.out) << c.in;
  }
}

TEST_F(CaptureTest, StripHighBitAndPathStaysInTheLogDirectory) {
  terminalOptions.stripHighBit = true;
  EXPECT_EQ(captured("\xc1\xe2"), "Ab");
  EXPECT_EQ(fs::path(captureLogPath(dir, "", "../../etc/x")).parent_path(), fs::path(dir));
  EXPECT_EQ(fs::path(captureLogPath("", dir, "h")).parent_path(), fs::path(dir));
}

TEST_F(CaptureTest, WritesAt512AndTheRestAtStop) {
  ASSERT_EQ(startCapture(log), 0);
  feed(std::string(511, 'x'));
  EXPECT_EQ(fs::file_size(log), 0u);
  feed("y");
  EXPECT_EQ(fs::file_size(log), 512u);
  feed("\tz");  // 512 bytes leave the cursor on column 32 of its row: eight spaces
  EXPECT_EQ(fs::file_size(log), 512u);
  stopCapture(false);
  EXPECT_EQ(readFile(log), std::string(511, 'x') + "y" + std::string(8, ' ') + "z");
}

TEST_F(CaptureTest, OverwriteOrAppendAsAnswered) {
  { std::ofstream(log) << "old"; }
  noticeLog().answerYes = false;
  EXPECT_EQ(captured("new"), "oldnew");
  EXPECT_EQ(noticeLog().texts.at(0), TEXT_CAPTURE_EXISTS);
  noticeLog().answerYes = true;
  EXPECT_EQ(captured("again"), "again");
}

TEST_F(CaptureTest, ResumesAtEveryConnectionWhileWanted) {
  captureConnectionStart(log);
  EXPECT_FALSE(captureRunning());
  ASSERT_EQ(startCapture(log), 0);
  feed("one");
  captureConnectionEnd();
  EXPECT_FALSE(captureRunning());
  EXPECT_FALSE(noticeLog().captureChecked);
  noticeLog().answerYes = false;
  harness::reset();
  captureConnectionStart(log);
  EXPECT_TRUE(captureRunning());
  EXPECT_TRUE(noticeLog().captureChecked);
  feed("two");
  captureConnectionEnd();
  EXPECT_EQ(readFile(log), "onetwo");
}

// A log that cannot be opened, or whose directory goes away under the
// capture (the same failing append as a read-only log): one message, and
// capture off, not silently on.
TEST_F(CaptureTest, UnwritableLogTurnsCaptureOff) {
  for (bool removed : {false, true}) {
    noticeLog() = NoticeLog{};
    if (removed) {
      ASSERT_EQ(startCapture(log), 0);
      fs::remove_all(dir);
      feed(std::string(600, 'x'));
    } else {
      EXPECT_EQ(startCapture(dir + "/missing/host.log"), -1);
    }
    EXPECT_FALSE(captureRunning());
    EXPECT_FALSE(captureWanted());
    EXPECT_EQ(noticeLog().texts, std::vector<std::string>{TEXT_LOG_OPEN_ERROR});
  }
  fs::create_directories(dir);
}

const std::string page = std::string("\x1b\x01\xff\r\nline\f", 10) + "\x1b[4" + "x\x1b[3i\x1b[4;0i";

// The job holds exactly the page, whichever emulation starts it (VT52 has its
// own start) and wherever the blocks split the stream (cut 0: one block).
TEST_F(CaptureTest, TransparentJobPrintsExactlyThePage) {
  for (int emulation : {TERM_VT100, TERM_VT52}) {
    std::string job = "ab" + std::string(emulation == TERM_VT52 ? "\x1bW" : "\x1b[5i") + page + "\x1b[4icd";
    for (size_t cut = 0; cut < job.size(); ++cut) {
      harness::reset(emulation);
      printHooksInstall();
      printedSpools().clear();
      feed(job.substr(0, cut));
      feed(job.substr(cut));
      ASSERT_EQ(printedSpools().size(), 1u) << emulation << " cut " << cut;
      EXPECT_EQ(printedSpools()[0], page) << emulation << " cut " << cut;
      EXPECT_EQ(harness::screenText(), "abcd") << emulation << " cut " << cut;
    }
  }
}

TEST_F(CaptureTest, TransparentOffShowsTheText) {
  setTransparentPrintEnabled(false);
  for (int emulation : {TERM_VT100, TERM_VT52}) {
    harness::reset(emulation);
    printHooksInstall();
    feed(emulation == TERM_VT52 ? "a\x1bWbc\x1bX" : "a\x1b[5ibc\x1b[4i");
    EXPECT_TRUE(printedSpools().empty());
    EXPECT_EQ(harness::screenText(), "abc");
  }
}

TEST_F(CaptureTest, ConnectionEndFinishesTheJobWithoutCutting) {
  std::string big;
  for (int i = 0; i < 300000; ++i) big += static_cast<char>(i * 7);
  big.erase(std::remove(big.begin(), big.end(), '\x1b'), big.end());
  feed("\x1b[5i" + big);
  captureConnectionEnd();
  ASSERT_EQ(printedSpools().size(), 1u);
  EXPECT_EQ(printedSpools()[0], big);
  feed("next session");
  EXPECT_EQ(harness::screenText(), "next session");
}

}  // namespace
