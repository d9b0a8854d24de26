// The senders against a scripted receiver that answers each write; the
// progress figures of the dialog.
#include <map>

#include "tests/transfer/transfer_fixture.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"

// A receiver that cancels in the middle of the first file ends the batch at
// once with "cancel received", not after a minute with "timeout".
TEST(SendRules, BatchEndsWithTheFailedFilesCode) {
  std::string dir = freshDir("send-cancel");
  writeData(dir + "/a", 5000, 1);
  writeData(dir + "/b", 5000, 2);
  TransferState tx = senderFor(settingsFor(PROTOCOL_YMODEM), {dir + "/a", dir + "/b"});
  int frames = 0;
  int r = runSender(tx, [&](const std::vector<uint8_t>&) {
    return ++frames == 1 ? std::vector<uint8_t>{ACK, 'C'} : std::vector<uint8_t>{CAN, CAN};
  }, {'C'});
  EXPECT_EQ(r, XFER_CANCEL_RECEIVED);
  EXPECT_LT(clockTicks(), 60000u);
}

// A block refused again and again goes out once plus the maximum number of
// retries, then two CANs end the send.
TEST(SendRules, RepeatedNaksEndWithTwoCans) {
  std::string dir = freshDir("send-nak");
  writeData(dir + "/a", 300, 3);
  for (int maxErrors : {1, 5}) {
    TransferState tx = senderFor(settingsFor(PROTOCOL_XMODEM_CRC, maxErrors), {dir + "/a"});
    int r = runSender(tx, [](const std::vector<uint8_t>&) { return std::vector<uint8_t>{NAK}; }, {'C'});
    EXPECT_EQ(r, XFER_MAX_ERRORS);
    const std::vector<uint8_t>& w = faultLineWritten(0);
    ASSERT_EQ(w.size(), static_cast<size_t>(133 * (maxErrors + 1) + 2));
    EXPECT_EQ(w[w.size() - 1], CAN);
    EXPECT_EQ(w[w.size() - 2], CAN);
  }
}

// The check follows the receiver's start signal, whatever the protocol's name.
TEST(SendRules, StartSignalChoosesTheCheck) {
  std::string dir = freshDir("send-check");
  writeData(dir + "/a", 100, 4);
  struct Case {
    int protocol;
    uint8_t signal;
    size_t frame;
  };
  for (Case c : {Case{PROTOCOL_XMODEM_SUM, 'C', 133}, Case{PROTOCOL_XMODEM_CRC, NAK, 132},
                 Case{PROTOCOL_XMODEM_1K, 'C', 1029}}) {
    TransferState tx = senderFor(settingsFor(c.protocol), {dir + "/a"});
    int r = runSender(tx, [](const std::vector<uint8_t>&) { return std::vector<uint8_t>{ACK}; }, {c.signal});
    EXPECT_EQ(r, 0);
    EXPECT_EQ(faultLineWritten(0).size(), c.frame + 1) << protocolName(c.protocol);  // one frame and EOT
  }
}

// What the dialog shows: rate after the first second, time left, a percentage
// that never passes 100 and "?" without a size.
TEST(SendRules, ProgressFigures) {
  struct Case {
    uint32_t bytes, size, ms;
    const char* rate;
    const char* left;
    const char* percent;
    const char* elapsed;
  };
  const Case cases[] = {
      {500, 0, 500, nullptr, nullptr, "?", "00:00:00"},
      {5000, 0, 2500, "2500", nullptr, "?", "00:00:02"},
      {1000, 4000, 1000, "1000", "00:00:03", "25 %", "00:00:01"},
      {9000, 4000, 3723000, "2", "00:00:00", "100 %", "01:02:03"},
      {3999, 4000, 1000, "3999", "00:00:00", "99 %", "00:00:01"},
  };
  std::map<int, std::string> shown;
  static std::map<int, std::string>* sink;
  sink = &shown;
  for (const Case& c : cases) {
    shown.clear();
    transferView.setText = [](int field, const char* text) { (*sink)[field] = text; };
    clockUseManual();
    TransferState s{};
    transferBegin(s, settingsFor(PROTOCOL_YMODEM));
    transferSelect(&s);
    s.byteCount = c.bytes;
    s.fileSize = c.size;
    clockAdvance(c.ms);
    updateProgress(0);
    transferSelect(nullptr);
    transferViewReset();
    EXPECT_EQ(shown[FIELD_PERCENT], c.percent) << c.bytes << "/" << c.size;
    EXPECT_EQ(shown[FIELD_ELAPSED], c.elapsed);
    EXPECT_EQ(shown.count(FIELD_RATE) ? shown[FIELD_RATE] : "-", c.rate ? c.rate : "-");
    EXPECT_EQ(shown.count(FIELD_REMAINING) ? shown[FIELD_REMAINING] : "-", c.left ? c.left : "-");
    EXPECT_EQ(shown[FIELD_STATUS], "Receiving");
  }
}
