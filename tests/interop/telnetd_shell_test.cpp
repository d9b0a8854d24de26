// Shells over inetutils telnetd, as a new user meets them: bash sends its mode
// sequences (bracketed paste) before every prompt, and each Enter typed
// through the key path must still give exactly one new prompt; an interrupt
// makes telnetd send its Data Mark as urgent data, which never shows.
#include <gtest/gtest.h>

#include <string>

#include "shell/message_box_posix.h"
#include "telnet/netlink_posix.h"
#include "terminal/emulator.h"
#include "terminal/keymap.h"
#include "terminal/receive.h"
#include "tests/support/peers.h"
#include "tests/support/screen_text.h"
#include "tests/support/telnet_peers.h"

namespace {

// Typed text, then the Enter key as the keyboard sends it.
void typeAndEnter(const std::string& text) {
  if (!text.empty()) sendBytes(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
  const uint8_t enter = '\r';
  sendKeyString(&enter, 1);
}

// A VT100 Telnet session to the server on port, once it shows prompt.
void connectVt100(int port, const char* prompt) {
  ASSERT_TRUE(waitListening(port, 5000));
  ASSERT_EQ(telnetOpenVt100(port, "vt100"), 0);
  ASSERT_TRUE(pumpUntilOnScreen(prompt, 8000)) << screenText();
}

TEST(TelnetdShell, BashLoginOneEnterGivesOnePrompt) {
  int port = freeTcpPort();
  PeerGuard server(startTelnetdWithLogin(port));
  ASSERT_NO_FATAL_FAILURE(connectVt100(port, "login:"));
  typeAndEnter("peertest");
  ASSERT_TRUE(pumpUntilOnScreen("Password:", 8000)) << screenText();
  typeAndEnter("peerpass");
  ASSERT_TRUE(pumpUntilOnScreen("$ ", 8000)) << screenText();
  // The typed line itself does not hold the prompt text "P> ".
  typeAndEnter("PS1='P''> '; clear");
  ASSERT_TRUE(pumpUntilOnScreen("P> ", 5000)) << screenText();
  for (int presses = 1; presses <= 3; ++presses) {
    typeAndEnter("");
    EXPECT_TRUE(pumpUntilOnScreen("P> ", 5000, presses + 1)) << screenText();
    pumpUntilOnScreen("P> ", 700, presses + 2);  // time for a prompt too many to show
    EXPECT_EQ(countOnScreen("P> "), presses + 1) << screenText();
  }
  EXPECT_FALSE(emulator.newLineMode);
  EXPECT_FALSE(emulator.cursorKeysApplication);
  // A full-screen program's alternate screen and vi's blinking cursor leave
  // the cursor keys as they were.
  typeAndEnter("printf '\\033[?1049h\\033[?12h\\033[?1049l'; echo done");
  EXPECT_TRUE(pumpUntilOnScreen("done", 5000, 2)) << screenText();
  EXPECT_FALSE(emulator.cursorKeysApplication);
  EXPECT_TRUE(messagesShown().empty());
  netDisconnectPosix();
}

// Ctrl+C during a command: telnetd flushes and sends IAC DM as urgent data.
TEST(TelnetdShell, InterruptLeavesNoDataMarkOnTheScreen) {
  int port = freeTcpPort();
  PeerGuard server(startInetutilsTelnetd(port));
  ASSERT_NO_FATAL_FAILURE(connectVt100(port, "# "));
  for (int round = 1; round <= 2; ++round) {
    typeAndEnter("sleep 5");
    pumpUntilOnScreen("never", 300);
    const uint8_t interrupt = 0x03;
    sendKeyString(&interrupt, 1);
    typeAndEnter("echo ""ROUND" + std::to_string(round));
    EXPECT_TRUE(pumpUntilOnScreen("ROUND" + std::to_string(round), 4000, 2)) << screenText();
  }
  pumpUntilOnScreen("never", 300);
  EXPECT_EQ(screenText().find('\xF2'), std::string::npos) << screenText();
  EXPECT_TRUE(messagesShown().empty());
  netDisconnectPosix();
}

}  // namespace
