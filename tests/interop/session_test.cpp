// Whole sessions through the terminal's byte path: our connection, the Telnet
// engine in the receive path's hook slots and the screen, against inetutils
// telnetd, busybox's telnetd and in.rlogind; and the session tool's command line.
#include <gtest/gtest.h>

#include <cstdio>
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
#include "tests/support/tool_runner.h"

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

TEST(SessionTool, TelnetStepsAndScreen) {
  int port = freeTcpPort();
  PeerGuard server(startInetutilsTelnetd(port));
  ASSERT_TRUE(waitListening(port, 5000));
  std::string out, err;
  int rc = runTool("session", "--host 127.0.0.1 --port " + std::to_string(port) +
                       " --emulation 6 --rows 20 --columns 100 --wait '# ' --send 'echo \"T=$TERM\"; stty size^M'"
                       " --wait '# ' --timeout 8",
                   &out, &err);
  EXPECT_EQ(rc, 0) << err;
  EXPECT_NE(out.find("|T=vt220|"), std::string::npos) << out;
  EXPECT_NE(out.find("|20 100|"), std::string::npos) << out;
  EXPECT_EQ(out.rfind("cursor ", 0), 0u) << "termplay's format";
  EXPECT_NE(out.find("\nscreen\n"), std::string::npos);
  EXPECT_NE(out.find("\nattr\n"), std::string::npos);
  EXPECT_NE(out.find("\nhistory "), std::string::npos);
}

TEST(SessionTool, RloginHandshake) {
  ASSERT_TRUE(rloginTrustLocalhost());
  int port = freeTcpPort();
  PeerGuard server(startRlogind(port));
  ASSERT_TRUE(waitListening(port, 5000));
  std::string out, err;
  int rc = runTool("session", "--host 127.0.0.1 --port " + std::to_string(port) +
                       " --rlogin --user peertest --terminal-id ansi --wait '$ ' --send 'echo U=$USER:$TERM^M' --wait "
                       "'$ ' --timeout 8",
                   &out, &err);
  EXPECT_EQ(rc, 0) << err;
  EXPECT_NE(out.find("U=peertest:ansi"), std::string::npos) << out;
}

TEST(SessionTool, FailuresAndUsage) {
  std::string out, err;
  EXPECT_NE(runTool("session", "--host 127.0.0.1 --port " + std::to_string(freeTcpPort()), &out, &err), 0);
  EXPECT_NE(err.find("Failed to connect, Connection refused, check host ip address"), std::string::npos) << err;
  err.clear();
  EXPECT_NE(runTool("session", "--check " + buildPath("no-such-script.scr"), &out, &err), 0);
  EXPECT_NE(err.find("session: File open error"), std::string::npos) << err;
  err.clear();
  EXPECT_NE(runTool("session", "--host 127.0.0.1 --port 513 --rlogin", &out, &err), 0);
  EXPECT_NE(err.find("Must enter username to login"), std::string::npos) << err;
  EXPECT_EQ(out, "");
}
}  // namespace
