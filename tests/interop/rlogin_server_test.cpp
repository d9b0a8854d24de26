// Rlogin against in.rlogind on loopback: the handshake from a privileged port
// reaches the server as a trusted user, the prompt arrives, and the server's
// window-size request is answered with our size.
#include <gtest/gtest.h>

#include <string>

#include "telnet/rlogin.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"
#include "tests/support/message_recorder.h"
#include "tests/support/netlink_posix.h"
#include "tests/support/peers.h"
#include "tests/support/settings_memory.h"
#include "tests/support/telnet_peers.h"

namespace {
class RloginServer : public ::testing::Test {
 protected:
  pid_t pid = -1;
  std::string data;
  void SetUp() override {
    settingsReset();
    messagesClear();
    ASSERT_TRUE(rloginTrustLocalhost());
    int port = freeTcpPort();
    pid = startRlogind(port);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(waitListening(port, 5000));
    telnetSession = {};
    telnetSession.columns = 80;
    telnetSession.rows = 24;
    snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "vt100");
    rloginSetNames("", rloginTestUser());
    NetRequest r{};
    snprintf(r.address, sizeof r.address, "127.0.0.1");
    r.port = port;
    r.rlogin = true;
    ASSERT_EQ(netConnectPosix(r, 3000), 0) << (messagesShown().empty() ? "" : messagesShown()[0].text);
    telnetOnConnected();
  }
  void TearDown() override {
    netDisconnectPosix();
    peerStop(pid);
  }
  bool run(const std::string& line, const std::string& expect) {
    size_t from = data.size();
    std::string typed = line + "\r";
    linkWrite(reinterpret_cast<const uint8_t*>(typed.data()), static_cast<int>(typed.size()));
    return telnetPumpUntil(&data, expect, 5000, from);
  }
};

TEST_F(RloginServer, TrustedLoginShowsThePromptAndTheReportedSize) {
  int local = netLocalPort();
  EXPECT_GE(local, 512);
  EXPECT_LE(local, 1023);
  ASSERT_TRUE(telnetPumpUntil(&data, "$ ", 8000)) << data;
  EXPECT_EQ(data.find("Password"), std::string::npos) << "the server trusted us";
  EXPECT_TRUE(telnetState.windowSizeReporting) << "the server's urgent 0x80 was seen";
  EXPECT_TRUE(run("stty size; echo U=$USER T=$TERM", "U=peertest T=vt100")) << data;
  EXPECT_NE(data.find("24 80"), std::string::npos) << data;
  telnetSession.rows = 33;
  telnetReportWindowSize();
  EXPECT_TRUE(run("stty size", "33 80")) << data;
}

TEST_F(RloginServer, ByteFFIsPlainDataInRlogin) {
  ASSERT_TRUE(telnetPumpUntil(&data, "$ ", 8000)) << data;
  EXPECT_TRUE(run("printf 'q\\377\\377r\\n'", "q\xFF\xFFr")) << data;
}
}  // namespace
