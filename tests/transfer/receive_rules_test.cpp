// The receivers against a scripted sender on the manual clock: the time-out
// and retry rules, received file names, backups, and the faults mended in the
// frame collector.
#include <sys/stat.h>

#include "ftp/ftp_session.h"
#include "tests/support/hostile_names.h"
#include "tests/transfer/transfer_fixture.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_view.h"
#include "transfer/transfer_codes.h"
#include "transfer/ymodem.h"

namespace {
std::vector<uint8_t> header(const std::string& raw) {
  std::string block = raw;
  block.resize(128, '\0');
  return frameOf(0, block, 128, true);
}
const Bytes kEot = {EOT};
const std::vector<uint8_t> kEndOfBatch = header("");

Receiver receiverFor(int protocol, int maxErrors = 5) { return receiverFor(settingsFor(protocol, maxErrors)); }
}  // namespace

// Silence: the start signal (not NAK, in the CRC modes) every 27 s until the
// sixth time-out, then three CANs. On the manual clock this costs no time.
TEST(ReceiveRules, SilentSenderGetsTheStartSignalRepeatedThenCancel) {
  struct Case {
    int protocol;
    uint8_t signal;
  };
  for (Case c : {Case{PROTOCOL_XMODEM_SUM, NAK}, Case{PROTOCOL_XMODEM_CRC, 'C'}, Case{PROTOCOL_YMODEM, 'C'},
                 Case{PROTOCOL_YMODEM_G, 'G'}}) {
    Receiver s = receiverFor(c.protocol);
    int r = runReceiver(s.rx, {});
    EXPECT_EQ(r, XFER_MAX_ERRORS) << protocolName(c.protocol);
    std::vector<uint8_t> want(6, c.signal);
    want.insert(want.end(), 3, CAN);
    EXPECT_EQ(faultLineWritten(1), want) << protocolName(c.protocol);
    EXPECT_GE(clockTicks(), 6u * 27000u);
    EXPECT_LT(clockTicks(), 6u * 27000u + 1000u);
  }
}

// After the first block a time-out asks with NAK; three retries then a block
// resets the count, so errors only end the transfer when consecutive.
TEST(ReceiveRules, ErrorsCountOnlyWhileConsecutive) {
  Receiver s = receiverFor(PROTOCOL_YMODEM, 1);
  std::string a(1024, 'a'), b(1024, 'b');
  std::vector<uint8_t> badA = frameOf(1, a, 1024, true);
  badA[500] ^= 1;
  std::vector<uint8_t> badB = frameOf(2, b, 1024, true);
  badB[9] ^= 0x40;
  int r = runReceiver(s.rx, {{0, header("two.bin\0" "2048")},
                             {100, badA},
                             {200, frameOf(1, a, 1024, true)},
                             {300, badB},
                             {400, frameOf(2, b, 1024, true)},
                             {500, kEot},
                             {600, kEot},
                             {700, kEndOfBatch}});
  EXPECT_EQ(r, STEP_COMPLETE);
  EXPECT_EQ(readFile(s.dir + "/two.bin"), a + b);
}

// A stray byte right behind a frame must not hold the frame back until the
// inactivity time-out; a repeated block is acknowledged and not written twice.
TEST(ReceiveRules, StrayByteAfterFrameAndRepeatedBlock) {
  Receiver s = receiverFor(PROTOCOL_XMODEM_CRC);
  std::string one(128, '1'), two(128, '2');
  int r = runReceiver(s.rx, {{0, frameOf(1, one, 128, true) + Bytes{'x'}},
                             {50, frameOf(1, one, 128, true)},
                             {100, frameOf(2, two, 128, true)},
                             {150, kEot},
                             {200, kEot}});
  EXPECT_EQ(r, STEP_COMPLETE);
  EXPECT_LT(clockTicks(), 27000u);
  EXPECT_EQ(readFile(s.rx.localPath), one + two);
  EXPECT_EQ(faultLineWritten(1), (Bytes{'C', ACK, ACK, ACK, NAK, ACK}));
}

// Names from the remote side never leave the download folder (the shared
// table of hostile names below has the paths up and across folders).
TEST(ReceiveRules, ReceivedNamesStayInTheDownloadFolder) {
  struct Case {
    std::string raw;     // header data up to the size
    const char* file;    // expected file in the folder, or nullptr for a refusal
  };
  std::string longName(128, 'n');  // fills the block: no NUL, no size (a sender that cuts nothing)
  const Case cases[] = {
      {std::string("dir/sub:colon.txt\0" "5", 19), "colon.txt"},
      {longName, longName.c_str()},
      {std::string("x/.\0" "5", 5), nullptr},
      {std::string("a/\0" "5", 4), nullptr},
  };
  for (const Case& c : cases) {
    Receiver s = receiverFor(PROTOCOL_YMODEM);
    int r = runReceiver(s.rx, {{0, header(c.raw)}, {100, frameOf(1, "hello", 1024, true)}, {200, kEot}, {300, kEot},
                               {400, kEndOfBatch}});
    if (c.file) {
      EXPECT_EQ(r, STEP_COMPLETE) << c.raw;
      // Without a size in the header the whole block stays.
      EXPECT_EQ(readFile(s.dir + "/" + c.file).substr(0, 6), std::string("hello", 5) + (c.raw.size() < 128 ? "" : std::string(1, '\0'))) << c.raw;
    } else {
      EXPECT_EQ(r, XFER_TIMEOUT) << c.raw;
      EXPECT_EQ(s.rx.endCode, XFER_FILE_OPEN) << c.raw;
    }
  }
  // The joined path is bounded: a long folder and a long name are refused.
  Receiver s = receiverFor(PROTOCOL_YMODEM);
  std::string deep = s.dir + "/" + std::string(150, 'd');
  ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
  std::snprintf(s.rx.settings.downloadDir, sizeof s.rx.settings.downloadDir, "%s", deep.c_str());
  int r = runReceiver(s.rx, {{0, header(std::string(120, 'L'))}});
  EXPECT_EQ(r, XFER_TIMEOUT);
  EXPECT_EQ(s.rx.endCode, XFER_FILE_OPEN);
}

// "Keep backup": an older backup gives way; when it cannot, the original stays.
TEST(ReceiveRules, BackupReplacesOlderBackupOrLeavesOriginalAlone) {
  Receiver s = receiverFor(PROTOCOL_YMODEM);
  s.rx.settings.keepBackup = true;
  std::ofstream(s.dir + "/data.txt") << "old";
  std::ofstream(s.dir + "/data.bak") << "older";
  int r = runReceiver(s.rx, {{0, header(std::string("data.txt\0" "3", 10))}, {100, frameOf(1, "new", 1024, true)},
                             {200, kEot}, {300, kEot}, {400, kEndOfBatch}});
  EXPECT_EQ(r, STEP_COMPLETE);
  EXPECT_EQ(readFile(s.dir + "/data.txt"), "new");
  EXPECT_EQ(readFile(s.dir + "/data.bak"), "old");

  std::string blocked = s.dir + "/keep.bak";
  ASSERT_EQ(mkdir(blocked.c_str(), 0755), 0);
  std::ofstream(blocked + "/inside") << "x";  // a folder that cannot be removed
  std::ofstream(s.dir + "/keep.txt") << "precious";
  EXPECT_EQ(backupExisting((s.dir + "/keep.txt").c_str()), XFER_FILE_OPEN);
  EXPECT_EQ(readFile(s.dir + "/keep.txt"), "precious");
}

// Two CANs from the sender end the receive at once.
TEST(ReceiveRules, TwoCansEndTheReceive) {
  Receiver s = receiverFor(PROTOCOL_XMODEM_1K);
  int r = runReceiver(s.rx, {{0, frameOf(1, "x", 1024, true)}, {100, Bytes{CAN, CAN}}});
  EXPECT_EQ(r, XFER_TIMEOUT);
  EXPECT_EQ(s.rx.endCode, XFER_CANCEL_RECEIVED);
  EXPECT_LT(clockTicks(), 1000u);
}

// One rule for every received name: a YMODEM header and an FTP download name
// from the same table end as the same local file, or are both refused.
TEST(ReceiveRules, HostileNamesOneRuleForReceiversAndFtp) {
  for (const HostileName& c : hostileNames()) {
    EXPECT_EQ(ftpLocalNameOf(c.remote), c.local) << c.remote;
    Receiver s = receiverFor(PROTOCOL_YMODEM);
    int r = runReceiver(s.rx, {{0, header(c.remote + std::string("\0" "5", 2))}, {100, frameOf(1, "hello", 1024, true)},
                               {200, kEot}, {300, kEot}, {400, kEndOfBatch}});
    if (c.local.empty()) {
      EXPECT_EQ(s.rx.endCode, XFER_FILE_OPEN) << c.remote;
      EXPECT_EQ(r, XFER_TIMEOUT) << c.remote;
      continue;
    }
    EXPECT_EQ(r, STEP_COMPLETE) << c.remote;
    EXPECT_EQ(readFile(s.dir + "/" + c.local), "hello") << c.remote;
  }
  EXPECT_EQ(ftpLocalNameOf(std::string("a\0b", 3)), "") << "a NUL would cut the name where the file is made";
}

// Four gigabytes at a byte a second: the time left stays within a 32-bit long.
TEST(ReceiveRules, TimeLeftIsClampedBeforeTheCast) {
  long left = progressFigures(1, 0xFFFFFFFFu, 0, 1000).remainingMs;
  EXPECT_GT(left, 0L);
  EXPECT_LE(left, 2147483647L);
  EXPECT_EQ(progressFigures(1000, 11000, 0, 1000).remainingMs, 10000L);
}
