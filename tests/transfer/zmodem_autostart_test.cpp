// The auto-start through the terminal's receive path: a sender's ZRQINIT after
// "**" CAN opens a receive with no command typed; the same bytes with another
// protocol, "**" CAN in ANSI art or binary output, our own echo and a cursor
// at the left edge open nothing.
#include "tests/terminal/terminal_harness.h"
#include "terminal/hooks.h"
#include "transfer/transfer_state.h"
#include "transfer/zmodem.h"

namespace {
int opened = 0;
bool openReceive() {
  ++opened;
  return true;
}
const std::string kZrqinit = std::string("**\x18" "B00000000000000\r\x8a\x11", 21);
const std::string kZrinit = std::string("**\x18" "B0100000023be50\r\x8a\x11", 21);
const std::string kZdata = std::string("**\x18" "B0a0000000046ae\r\x8a", 20);

void start(bool zmodemSelected) {
  harness::reset();
  // Nothing of an earlier transfer (a cancel, say) stays, as after its dialog closed.
  transferClear(transferState());
  terminalOptions.zmodemAutoStart = zmodemSelected;
  zmodemAutoStartInstall();
  terminalHooks.zmodemOpenReceive = openReceive;
  opened = 0;
}
}  // namespace

TEST(ZmodemAutoStart, OnlyASendersHeaderOpensTheReceive) {
  struct Case {
    const char* what;
    bool selected;
    std::vector<std::string> chunks;
    int opens;
    bool cancels;  // our five CAN go back
  };
  const Case kCases[] = {
      {"sender", true, {"rz\r" + kZrqinit}, 1, false},
      {"header split over two reads", true, {"rz\r**\x18" "B0000", "0000000000\r\x8a\x11"}, 1, false},
      {"another protocol selected", false, {"rz\r" + kZrqinit}, 0, false},
      {"ANSI art", true, {"\x1b[1m**\x18 the end of the art **\x18\x18 done\r\n"}, 0, false},
      {"our own ZRINIT echoed", true, {kZrinit}, 0, false},
      {"a header that starts no receive", true, {kZdata}, 0, true},
      {"CAN at column 1 after one star", true, {"*\x18" "B00000000000000\r\n"}, 0, false},
      {"CAN after one star mid-line", true, {"ab*\x18" "B00000000000000\r\n"}, 0, false},
      {"CAN at column 0", true, {"\r\x18" "B00000000000000\r\n"}, 0, false},
  };
  for (const Case& c : kCases) {
    start(c.selected);
    for (const std::string& chunk : c.chunks) harness::feed(chunk);
    EXPECT_EQ(opened, c.opens) << c.what;
    EXPECT_EQ(harness::wire.replies.find(std::string(5, '\x18')) != std::string::npos, c.cancels) << c.what;
    if (!c.opens) {
      EXPECT_FALSE(zmodemCaptureActive()) << c.what << ": the capture keeps the line";
    }
  }
  // Text after a false start reaches the screen again.
  start(true);
  harness::feed("**\x18 art\r\nvisible");
  EXPECT_NE(harness::screenText().find("visible"), std::string::npos);
  // A damaged header gets the challenge; unanswered, what followed "**" CAN
  // is shown, not dropped.
  start(true);
  harness::feed("**\x18" "B0zz damaged\r\nvisible too");
  EXPECT_NE(harness::wire.replies.find(std::string("**\x18" "B0e", 5)), std::string::npos) << "ZCHALLENGE";
  EXPECT_EQ(opened, 0);
  EXPECT_FALSE(zmodemCaptureActive());
  EXPECT_NE(harness::screenText().find("visible too"), std::string::npos);
  terminalHooks.zmodemOpenReceive = [] { return false; };
  hooksReset();
}
