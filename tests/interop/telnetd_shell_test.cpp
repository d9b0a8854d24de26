// Shells over inetutils telnetd, as a new user meets them: bash sends its mode
// sequences (bracketed paste) before every prompt, and each Enter typed
// through the key path must still give exactly one new prompt; an interrupt
// makes telnetd send its Data Mark as urgent data, which never shows.
#include <gtest/gtest.h>

#include <string>

#include "shell/message_box_posix.h"
#include "shell/settings_posix.h"
#include "telnet/netlink_posix.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/emulator.h"
#include "terminal/keymap.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/terminal_state.h"
#include "tests/support/peers.h"
#include "tests/support/screen_text.h"
#include "tests/support/telnet_peers.h"

namespace {

int countOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Pumps until text has appeared count times on the screen, or ms have passed.
bool pumpUntilCount(const std::string& text, int count, int ms) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (countOf(screenText(), text) >= count) return true;
    if (netWaitInput(20) && receiveAvailable() == LINK_LOST) break;
  }
  return countOf(screenText(), text) >= count;
}

// Typed text, then the Enter key as the keyboard sends it.
void typeAndEnter(const std::string& text) {
  if (!text.empty()) sendBytes(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
  const uint8_t enter = '\r';
  sendKeyString(&enter, 1);
}

// A VT100 Telnet session to the server on port, once it shows prompt.
void connectVt100(int port, const char* prompt) {
  ASSERT_TRUE(waitListening(port, 5000));
  settingsReset();
  messagesClear();
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  terminalOptions.emulation = 4;
  emulatorConnectionStart();
  ASSERT_EQ(telnetConnectLoopback(port, "vt100"), 0);
  telnetAttachTerminal();
  telnetOnConnected();
  ASSERT_TRUE(pumpUntilCount(prompt, 1, 8000)) << screenText();
}

TEST(TelnetdShell, BashLoginOneEnterGivesOnePrompt) {
  int port = freeTcpPort();
  PeerGuard server(startTelnetdWithLogin(port));
  ASSERT_NO_FATAL_FAILURE(connectVt100(port, "login:"));
  typeAndEnter("peertest");
  ASSERT_TRUE(pumpUntilCount("Password:", 1, 8000)) << screenText();
  typeAndEnter("peerpass");
  ASSERT_TRUE(pumpUntilCount("$ ", 1, 8000)) << screenText();
  // The typed line itself does not hold the prompt text "P> ".
  typeAndEnter("PS1='P''> '; clear");
  ASSERT_TRUE(pumpUntilCount("P> ", 1, 5000)) << screenText();
  for (int presses = 1; presses <= 3; ++presses) {
    typeAndEnter("");
    EXPECT_TRUE(pumpUntilCount("P> ", presses + 1, 5000)) << screenText();
    pumpUntilCount("P> ", presses + 2, 700);  // time for a prompt too many to show
    EXPECT_EQ(countOf(screenText(), "P> "), presses + 1) << screenText();
  }
  EXPECT_FALSE(emulator.newLineMode);
  EXPECT_FALSE(emulator.cursorKeysApplication);
  // A full-screen program's alternate screen and vi's blinking cursor leave
  // the cursor keys as they were.
  typeAndEnter("printf '\\033[?1049h\\033[?12h\\033[?1049l'; echo done");
  EXPECT_TRUE(pumpUntilCount("done", 2, 5000)) << screenText();
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
    pumpUntilCount("never", 1, 300);
    const uint8_t interrupt = 0x03;
    sendKeyString(&interrupt, 1);
    typeAndEnter("echo ""ROUND" + std::to_string(round));
    EXPECT_TRUE(pumpUntilCount("ROUND" + std::to_string(round), 2, 4000)) << screenText();
  }
  pumpUntilCount("never", 1, 300);
  EXPECT_EQ(screenText().find('\xF2'), std::string::npos) << screenText();
  EXPECT_TRUE(messagesShown().empty());
  netDisconnectPosix();
}

}  // namespace
