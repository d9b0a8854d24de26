// The dial-up session's own rules: carrier and ring, chat panes, and the
// modem hang-up sequence.
#include <gtest/gtest.h>

#include <string>

#include "dialup/chat_pane.h"
#include "dialup/dial_port.h"
#include "dialup/line_watch.h"
#include "dialup/modem_hangup.h"
#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "tests/dialup/modem_script.h"

namespace {

TEST(LineWatch, CarrierAndRingRules) {
  const struct {
    const char* name;
    bool answerMode;
    std::vector<unsigned> statuses;  // one per empty read
    const char* written;
    int lostAt;                      // index of the read that reports the loss, or -1
  } cases[] = {
      {"ring ignored without answer mode", false, {MODEM_RING, MODEM_RING, 0}, "", -1},
      {"one ATA per ring", true, {MODEM_RING, MODEM_RING, MODEM_RING, 0, MODEM_RING}, "ATA\rATA\r", -1},
      {"carrier never seen", false, {0, 0, MODEM_CTS}, "", -1},
      {"carrier dropped", false, {MODEM_RLSD, MODEM_RLSD | MODEM_DSR, 0, 0}, "", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ModemScript modem;
    ASSERT_EQ(dialPortOpen(LineSettings{}), 0);
    LineWatch w;
    w.answerMode = c.answerMode;
    int lostAt = -1;
    for (size_t i = 0; i < c.statuses.size(); ++i)
      if (lineWatchIdle(w, c.statuses[i]) == LINK_LOST && lostAt < 0) lostAt = static_cast<int>(i);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a pty passes bytes on asynchronously
    modem.serve();
    dialPortClose();
    EXPECT_EQ(modem.heard, c.written);
    EXPECT_EQ(lostAt, c.lostAt);
  }
}

std::string row(const ChatScreen& s, int line) {
  std::string r(s.rows[line], CHAT_COLUMNS);
  return r.substr(0, r.find_last_not_of(' ') + 1);
}

TEST(ChatPane, RemoteAndLocalText) {
  const struct {
    const char* name;
    std::string remote;
    bool eightBit;
    std::vector<std::pair<int, std::string>> rows;
    int caretLine, caretColumn, beeps;
  } cases[] = {
      {"CR LF advances two lines", "ab\r\ncd", true, {{14, "ab"}, {15, ""}, {16, "cd"}}, 16, 2, 0},
      {"backspace and DEL rub out", "abc\b\x7f" "x\b\b\b\b", true, {{14, ""}}, 14, 0, 0},
      {"bell rings, controls ignored", "a\x07\x01\x1b" "b", true, {{14, "ab"}}, 14, 2, 1},
      {"bit 7 cleared on a 7-bit line", "\xc1\xe2", false, {{14, "Ab"}}, 14, 2, 0},
      {"bit 7 kept on an 8-bit line", "\xc1", true, {{14, "\xc1"}}, 14, 1, 0},
      {"wraps at the width", "0123456789ab", true, {{14, "0123456789"}, {15, "ab"}}, 15, 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChatScreen s;
    chatReset(s, 10);
    int beeps = 0;
    for (char ch : c.remote) beeps += chatRemote(s, static_cast<uint8_t>(ch), c.eightBit);
    for (const auto& r : c.rows) EXPECT_EQ(row(s, r.first), r.second) << r.first;
    EXPECT_EQ(s.remote.line, c.caretLine);
    EXPECT_EQ(s.remote.column, c.caretColumn);
    EXPECT_EQ(beeps, c.beeps);
  }
}

TEST(ChatPane, PanesScrollInTheirOwnBands) {
  ChatScreen s;
  chatReset(s, 40);
  for (int i = 0; i < 12; ++i) {
    chatRemote(s, static_cast<uint8_t>('a' + i), true);
    chatRemote(s, '\r', true);
  }
  // Lines 14 to 23 filled, then three scrolls of the band from line 13.
  EXPECT_EQ(s.remote.line, 23);
  EXPECT_EQ(row(s, 12), "");
  EXPECT_EQ(row(s, 13), "c");
  EXPECT_EQ(row(s, 22), "l");
  for (int i = 0; i < 10; ++i) {
    chatLocal(s, static_cast<uint8_t>('0' + i));
    chatLocal(s, '\r');
  }
  EXPECT_EQ(s.local.line, 8);
  EXPECT_EQ(row(s, 0), "2");
  EXPECT_EQ(row(s, 7), "9");
  EXPECT_EQ(row(s, 13), "c");  // the remote pane stays as it was
}

TEST(ModemHangup, EscapeThenHangupStringAfterTheirPauses) {
  clockUseManual();
  ModemScript modem;
  ASSERT_EQ(dialPortOpen(LineSettings{}), 0);
  std::vector<std::pair<uint32_t, std::string>> heard;
  pumpSetHook([&] {
    size_t before = modem.heard.size();
    modem.serve();
    if (modem.heard.size() > before) heard.push_back({clockTicks(), modem.heard.substr(before)});
    return 0;
  });
  modemHangup(scriptProfile());
  pumpSetHook(nullptr);
  dialPortClose();
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0].second, "+++");
  EXPECT_EQ(heard[1].second, "ATH0\r");
  // 100 ms, then the two one-second pauses of "~~~+++~~~", then 1500 ms.
  EXPECT_NEAR(heard[0].first, 2100, 10);
  EXPECT_NEAR(heard[1].first, 3600, 10);
  EXPECT_NEAR(clockTicks(), 6100, 10);
}

}  // namespace
