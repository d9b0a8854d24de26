// Whole sessions through the terminal's byte path: our connection, the Telnet
// engine in the receive path's hook slots and the screen, against inetutils
// telnetd, busybox's telnetd and in.rlogind.
#include <gtest/gtest.h>

#include <string>

#include "shell/message_box_posix.h"
#include "shell/settings_posix.h"
#include "telnet/netlink_posix.h"
#include "telnet/rlogin.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"
#include "tests/support/peers.h"
#include "tests/support/screen_text.h"
#include "tests/support/telnet_peers.h"

namespace {
bool pumpUntilOnScreen(const std::string& text, int ms) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (screenText().find(text) != std::string::npos) return true;
    if (netWaitInput(20) && receiveAvailable() == LINK_LOST) break;
  }
  return screenText().find(text) != std::string::npos;
}

void typeLine(const std::string& line) {
  std::string typed = line + "\r";
  sendBytes(reinterpret_cast<const uint8_t*>(typed.data()), static_cast<int>(typed.size()));
}

// A fresh 24x80 VT100 terminal connected to port with the Telnet engine in the
// receive path's slots.
void connectTerminal(int port, bool rlogin, const char* terminalId, const char* address, bool binary = false) {
  settingsReset();
  messagesClear();
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  terminalOptions.emulation = 4;
  emulatorConnectionStart();
  ASSERT_EQ(telnetConnectLoopback(port, terminalId, rlogin, address), 0)
      << (messagesShown().empty() ? "" : messagesShown()[0].text);
  telnetSession.binaryMode = binary;
  telnetAttachTerminal();
  telnetOnConnected();
}

struct Server {
  const char* name;
  pid_t (*start)(int port);
  bool asksTerminalType;
};
void PrintTo(const Server& s, std::ostream* os) { *os << s.name; }
class TelnetServer : public ::testing::TestWithParam<Server> {};

// Both Telnet servers: the offers (binary included) are answered, the size is
// reported and followed, and 0xFF survives both ways.
TEST_P(TelnetServer, PromptSizeAndBytesFF) {
  int port = freeTcpPort();
  PeerGuard server(GetParam().start(port));
  ASSERT_TRUE(waitListening(port, 5000)) << GetParam().name;
  ASSERT_NO_FATAL_FAILURE(connectTerminal(port, false, "vt102", "127.0.0.1", true));
  ASSERT_TRUE(pumpUntilOnScreen("# ", 5000)) << screenText();
  EXPECT_TRUE(telnetState.windowSizeReporting) << "the server agreed to NAWS";
  typeLine("echo T=$TERM; stty size");
  EXPECT_TRUE(pumpUntilOnScreen("24 80", 5000)) << screenText();
  if (GetParam().asksTerminalType) EXPECT_NE(screenText().find("T=vt102"), std::string::npos) << screenText();
  setRows(30);  // the terminal's size changes: the host hears of it
  typeLine("stty size");
  EXPECT_TRUE(pumpUntilOnScreen("30 80", 5000)) << screenText();
  typeLine("printf 'A\\377B\\n'");
  EXPECT_TRUE(pumpUntilOnScreen("A\xFF" "B", 5000)) << "a doubled IAC shows one 255 on the screen";
  // Data 0xFF goes out doubled, as the transfer protocols send it. inetutils
  // agrees to BINARY and withdraws it while its terminal is not raw, busybox
  // ignores it: the bytes must survive either way.
  typeLine("head -c 4 | od -An -tx1");
  pumpUntilOnScreen("never", 300);
  const uint8_t line[] = {'Z', 0xFF, 0xFF, 0xFF, 0xFF, 'Y', '\r'};
  linkWrite(line, sizeof line);
  EXPECT_TRUE(pumpUntilOnScreen("5a ff ff 59", 5000)) << screenText();
  EXPECT_TRUE(messagesShown().empty());
  netDisconnectPosix();
}

const Server servers[] = {{"inetutils", startInetutilsTelnetd, true}, {"busybox", startBusyboxTelnetd, false}};
INSTANTIATE_TEST_SUITE_P(Real, TelnetServer, ::testing::ValuesIn(servers),
                         [](const ::testing::TestParamInfo<Server>& i) { return std::string(i.param.name); });

// in.rlogind trusts the handshake from a privileged port, asks for the window
// size with an urgent byte and hears of later changes; 0xFF is plain data.
TEST(TelnetSession, RloginTrustedLoginOnScreen) {
  ASSERT_TRUE(rloginTrustLocalhost());
  int port = freeTcpPort();
  PeerGuard server(startRlogind(port));
  ASSERT_TRUE(waitListening(port, 5000));
  rloginSetNames("", rloginTestUser());
  ASSERT_NO_FATAL_FAILURE(connectTerminal(port, true, "vt100", "localhost"));
  EXPECT_GE(netLocalPort(), 512);
  EXPECT_LE(netLocalPort(), 1023);
  ASSERT_TRUE(pumpUntilOnScreen("peertest@", 8000)) << screenText();
  EXPECT_EQ(screenText().find("Password"), std::string::npos) << "the server trusted us";
  EXPECT_TRUE(telnetState.windowSizeReporting) << "the server's urgent 0x80 was seen";
  typeLine("echo U=$USER T=$TERM; stty size");
  EXPECT_TRUE(pumpUntilOnScreen("U=peertest T=vt100", 5000)) << screenText();
  EXPECT_TRUE(pumpUntilOnScreen("24 80", 5000)) << screenText();
  setRows(20);
  typeLine("stty size");
  EXPECT_TRUE(pumpUntilOnScreen("20 80", 5000)) << screenText();
  typeLine("printf 'q\\377\\377r\\n'");
  EXPECT_TRUE(pumpUntilOnScreen("q\xFF\xFFr", 5000)) << screenText();
  netDisconnectPosix();
}

}  // namespace
