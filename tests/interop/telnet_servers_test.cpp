// Our connection and Telnet engine against real servers on loopback: inetutils
// telnetd and busybox's telnetd, each started per test and stopped after it.
#include <gtest/gtest.h>

#include <string>

#include "shell/message_box_posix.h"
#include "shell/settings_posix.h"
#include "telnet/netlink_posix.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"
#include "tests/support/peers.h"
#include "tests/support/telnet_peers.h"

namespace {
struct Server {
  const char* name;
  pid_t (*start)(int port);
};

void PrintTo(const Server& s, std::ostream* os) { *os << s.name; }

class TelnetServer : public ::testing::TestWithParam<Server> {
 protected:
  pid_t pid = -1;
  std::string data;

  void SetUp() override {
    settingsReset();
    messagesClear();
    int port = freeTcpPort();
    pid = GetParam().start(port);
    ASSERT_GT(pid, 0) << GetParam().name << " did not start";
    ASSERT_TRUE(waitListening(port, 5000)) << GetParam().name << " is not listening";
    ASSERT_EQ(telnetConnectLoopback(port, "vt220"), 0);
    telnetSession.binaryMode = binary();
    telnetOnConnected();
    ASSERT_TRUE(telnetPumpUntil(&data, "# ", 5000)) << "no prompt; got: " << data;
  }
  void TearDown() override {
    netDisconnectPosix();
    peerStop(pid);
  }
  virtual bool binary() { return false; }

  // Types a command line and waits for text in what follows.
  bool run(const std::string& line, const std::string& expect) {
    size_t from = data.size();
    std::string typed = line + "\r";
    linkWrite(reinterpret_cast<const uint8_t*>(typed.data()), static_cast<int>(typed.size()));
    return telnetPumpUntil(&data, expect, 5000, from);
  }
};

TEST_P(TelnetServer, PromptAndSizeReportedAndFollowed) {
  EXPECT_TRUE(telnetState.windowSizeReporting) << "the server agreed to NAWS";
  EXPECT_TRUE(run("stty size", "24 80")) << data;
  telnetSession.rows = 30;
  telnetSession.columns = 100;
  telnetReportWindowSize();
  EXPECT_TRUE(run("stty size", "30 100")) << data;
  EXPECT_TRUE(messagesShown().empty());
}

class TelnetServerBinary : public TelnetServer {
  bool binary() override { return true; }
};

TEST_P(TelnetServerBinary, BytesFFSurviveARoundTrip) {
  // inetutils agrees to BINARY and withdraws it while its terminal is not raw,
  // busybox ignores it: the bytes must survive either way.
  size_t from = data.size();
  std::string typed = "head -c 4 | od -An -tx1\r";
  linkWrite(reinterpret_cast<const uint8_t*>(typed.data()), static_cast<int>(typed.size()));
  telnetPump(&data, 300);
  // Data 0xFF goes out doubled, as the transfer protocols send it.
  const uint8_t line[] = {'Z', 0xFF, 0xFF, 0xFF, 0xFF, 'Y', '\r'};
  linkWrite(line, sizeof line);
  EXPECT_TRUE(telnetPumpUntil(&data, "5a ff ff 59", 5000, from)) << data.substr(from);
  from = data.size();
  EXPECT_TRUE(run("printf '\\377x\\377\\n'", "\xFFx\xFF")) << data.substr(from);
}

const Server servers[] = {{"inetutils", startInetutilsTelnetd}, {"busybox", startBusyboxTelnetd}};
INSTANTIATE_TEST_SUITE_P(Real, TelnetServer, ::testing::ValuesIn(servers),
                         [](const ::testing::TestParamInfo<Server>& i) { return std::string(i.param.name); });
INSTANTIATE_TEST_SUITE_P(Real, TelnetServerBinary, ::testing::ValuesIn(servers),
                         [](const ::testing::TestParamInfo<Server>& i) { return std::string(i.param.name); });

}  // namespace
