// Whole sessions through the terminal's byte path: our connection, the Telnet
// engine in the receive path's hook slots and the screen, against inetutils
// telnetd, busybox's telnetd and in.rlogind.
#include <gtest/gtest.h>

#include <string>

#include "shell/message_box_posix.h"
#include "telnet/netlink_posix.h"
#include "telnet/rlogin.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"
#include "terminal/receive.h"
#include "tests/support/peers.h"
#include "tests/support/screen_text.h"
#include "tests/support/telnet_peers.h"

namespace {
void typeLine(const std::string& line) {
  std::string typed = line + "\r";
  sendBytes(reinterpret_cast<const uint8_t*>(typed.data()), static_cast<int>(typed.size()));
}

struct Server {
  const char* name;
  pid_t (*start)(int port);
  bool rlogin;
  const char* terminalId;  // what the host's TERM must show ("" when the host does not ask)
  const char* prompt;
  int rows;                // the size the terminal changes to
  const char* printed;     // a printf of 0xFF bytes, and what the screen shows of it
  const char* shown;
};
void PrintTo(const Server& s, std::ostream* os) { *os << s.name; }
class TelnetServer : public ::testing::TestWithParam<Server> {};

// Both Telnet servers and in.rlogind, on a fresh 24x80 VT100 terminal with the
// Telnet engine in the receive path's slots: the offers (binary included) are
// answered or the Rlogin handshake trusted from a privileged port, the size is
// reported (after rlogind's urgent 0x80) and followed, and 0xFF survives: a
// doubled IAC shows one 255, over Rlogin it is plain data.
TEST_P(TelnetServer, PromptSizeAndBytesFF) {
  const Server& host = GetParam();
  if (host.rlogin) {
    ASSERT_TRUE(rloginTrustLocalhost());
    rloginSetNames("", rloginTestUser());
  }
  int port = freeTcpPort();
  PeerGuard server(host.start(port));
  ASSERT_TRUE(waitListening(port, 5000)) << host.name;
  ASSERT_EQ(telnetOpenVt100(port, host.rlogin ? "vt100" : "vt102", host.rlogin,
                            host.rlogin ? "localhost" : "127.0.0.1", !host.rlogin), 0)
      << (messagesShown().empty() ? "" : messagesShown()[0].text);
  if (host.rlogin) {
    EXPECT_GE(netLocalPort(), 512);
    EXPECT_LE(netLocalPort(), 1023);
  }
  ASSERT_TRUE(pumpUntilOnScreen(host.prompt, 8000)) << screenText();
  EXPECT_EQ(screenText().find("Password"), std::string::npos) << "the server trusted us";
  EXPECT_TRUE(telnetState.windowSizeReporting) << "the server agreed to report the size";
  typeLine("echo U=$USER T=$TERM; stty size");
  EXPECT_TRUE(pumpUntilOnScreen("24 80", 5000)) << screenText();
  if (host.terminalId[0]) {
    EXPECT_NE(screenText().find(host.terminalId), std::string::npos) << screenText();
  }
  setRows(host.rows);  // the terminal's size changes: the host hears of it
  typeLine("stty size");
  EXPECT_TRUE(pumpUntilOnScreen(std::to_string(host.rows) + " 80", 5000)) << screenText();
  typeLine(host.printed);
  EXPECT_TRUE(pumpUntilOnScreen(host.shown, 5000)) << screenText();
  if (!host.rlogin) {
    // Data 0xFF goes out doubled, as the transfer protocols send it. inetutils
    // agrees to BINARY and withdraws it while its terminal is not raw, busybox
    // ignores it: the bytes must survive either way.
    typeLine("head -c 4 | od -An -tx1");
    pumpUntilOnScreen("never", 300);
    const uint8_t line[] = {'Z', 0xFF, 0xFF, 0xFF, 0xFF, 'Y', '\r'};
    linkWrite(line, sizeof line);
    EXPECT_TRUE(pumpUntilOnScreen("5a ff ff 59", 5000)) << screenText();
  }
  EXPECT_TRUE(messagesShown().empty());
  netDisconnectPosix();
}

const Server servers[] = {
    {"inetutils", startInetutilsTelnetd, false, "T=vt102", "# ", 30, "printf 'A\\377B\\n'", "A\xFF" "B"},
    {"busybox", startBusyboxTelnetd, false, "", "# ", 30, "printf 'A\\377B\\n'", "A\xFF" "B"},
    {"rlogind", startRlogind, true, "U=peertest T=vt100", "peertest@", 20, "printf 'q\\377\\377r\\n'", "q\xFF\xFFr"},
};
INSTANTIATE_TEST_SUITE_P(Real, TelnetServer, ::testing::ValuesIn(servers),
                         [](const ::testing::TestParamInfo<Server>& i) { return std::string(i.param.name); });
}  // namespace
