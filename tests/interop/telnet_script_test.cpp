// Our connection and engine against a scripted server of our own: refusals of
// every option, a close in the middle of a command, and the connection's
// failure messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/message_box_posix.h"
#include "shell/settings.h"
#include "shell/settings_posix.h"
#include "telnet/netlink_posix.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"
#include "tests/support/peers.h"
#include "tests/support/script_server.h"
#include "tests/support/telnet_peers.h"

namespace {
std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}
const int IAC = 255, DO = 253, DONT = 254, WILL = 251, WONT = 252, SB = 250, SE = 240;
const std::string offers = bytes({IAC, WILL, 31, IAC, DO, 1});

class Scripted : public ::testing::Test {
 protected:
  ScriptServer server;
  std::string data;

  void connectTo(std::vector<ScriptStep> steps) {
    settingsReset();
    messagesClear();
    ASSERT_TRUE(scriptServerStart(&server, std::move(steps)));
    ASSERT_EQ(telnetConnectLoopback(server.port, "vt100"), 0);
    ASSERT_EQ(telnetAttachTextTerminal(), 0);
    telnetOnConnected();
  }
  void TearDown() override {
    netDisconnectPosix();
    scriptServerStop(&server);
  }
};

TEST_F(Scripted, RefusalsOfEveryOption) {
  connectTo({scriptExpect(offers),
             scriptSend(bytes({IAC, DONT, 31, IAC, WONT, 1, IAC, DONT, 3, IAC, WONT, 3, IAC, DONT, 0x20, IAC, WONT, 0,
                               IAC, DONT, 0, IAC, DONT, 24, IAC, WONT, 24, IAC, WONT, 5, IAC, DONT, 6})),
             scriptSend("hello"), scriptPause(300)});
  ASSERT_TRUE(telnetPumpUntil(&data, "hello", 3000));
  scriptServerStop(&server);
  EXPECT_EQ(server.failure, "");
  // SGA is offered again after each refusal; unknown options are refused back.
  std::string replies = bytes({IAC, WILL, 3, IAC, DO, 3, IAC, WONT, 0x20, IAC, DONT, 5});
  EXPECT_EQ(scriptReceived(&server), offers + replies);
  EXPECT_FALSE(telnetState.windowSizeReporting);
  EXPECT_TRUE(telnetSession.localEcho) << "WONT ECHO: we echo ourselves";
  EXPECT_FALSE(telnetSession.binaryMode);
  EXPECT_EQ(data, "hello");
}

// A peer that answers refusals as we do: its second refusal of the same kind
// gets no reply, so the SGA re-offer happens once and WONT/DONT ends. An
// agreement in between makes the next refusal new again.
TEST_F(Scripted, ARepeatedRefusalGetsNoSecondReply) {
  connectTo({scriptExpect(offers), scriptSend(bytes({IAC, DONT, 3})), scriptExpect(bytes({IAC, WILL, 3})),
             scriptSend(bytes({IAC, DONT, 3, IAC, WONT, 0x20})), scriptExpect(bytes({IAC, DONT, 0x20})),
             scriptSend(bytes({IAC, WONT, 0x20, IAC, WONT, 0x20, IAC, DO, 3, IAC, DONT, 3})), scriptSend("done"),
             scriptPause(300)});
  ASSERT_TRUE(telnetPumpUntil(&data, "done", 5000)) << data;
  scriptServerStop(&server);
  EXPECT_EQ(server.failure, "");
  EXPECT_EQ(scriptReceived(&server),
            offers + bytes({IAC, WILL, 3, IAC, DONT, 0x20, IAC, WILL, 3, IAC, WILL, 3}));
}

TEST_F(Scripted, CloseInTheMiddleOfACommandKeepsWhatCameFirst) {
  connectTo({scriptExpect(offers), scriptSend(bytes({'a', 'b', 'c', IAC, SB, 24})), scriptClose()});
  int result = 0;
  for (int i = 0; i < 200 && result != LINK_LOST; ++i) result = telnetPump(&data, 20);
  EXPECT_EQ(result, LINK_LOST);
  EXPECT_EQ(data, "abc") << "the bytes before the close reach the terminal";
  EXPECT_TRUE(telnetInCommand());
  uint8_t buf[16];
  EXPECT_EQ(linkRead(buf, sizeof buf), LINK_LOST) << "the loss stays reported";
  EXPECT_TRUE(messagesShown().empty()) << "a loss is the session's to report, not the link's";
}

// A host's Data Mark after an interrupt comes as urgent data, and which byte
// the socket marks urgent differs between hosts (telnetd marks the IAC); the
// pair may also arrive split. Neither byte may reach the screen, and the data
// around it all must.
TEST(UrgentData, DataMarkNeverReachesTheTerminal) {
  const int DM = 242;
  const struct {
    const char* name;
    std::vector<ScriptStep> steps;
  } cases[] = {
      {"data_mark_urgent", {scriptSend("before" + bytes({IAC})), scriptSendUrgent(bytes({DM})), scriptSend("after")}},
      {"iac_urgent", {scriptSendUrgent("before" + bytes({IAC})), scriptSend(bytes({DM}) + "after")}},
      {"pair_urgent", {scriptSend("before"), scriptSendUrgent(bytes({IAC, DM})), scriptSend("after")}},
      {"split_apart", {scriptSend("before" + bytes({IAC})), scriptPause(200), scriptSendUrgent(bytes({DM})),
                       scriptPause(200), scriptSend("after")}},
      {"iac_urgent_then_pause", {scriptSendUrgent("before" + bytes({IAC})), scriptPause(200),
                                 scriptSend(bytes({DM}) + "after")}},
  };
  for (const auto& c : cases) {
    settingsReset();
    messagesClear();
    ScriptServer server;
    std::vector<ScriptStep> steps{scriptExpect(offers)};
    steps.insert(steps.end(), c.steps.begin(), c.steps.end());
    steps.push_back(scriptPause(300));
    ASSERT_TRUE(scriptServerStart(&server, steps));
    ASSERT_EQ(telnetConnectLoopback(server.port, "vt100"), 0);
    ASSERT_EQ(telnetAttachTextTerminal(), 0);
    telnetOnConnected();
    std::string data;
    EXPECT_TRUE(telnetPumpUntil(&data, "after", 3000)) << c.name;
    EXPECT_EQ(data, "beforeafter") << c.name;
    EXPECT_FALSE(telnetInCommand()) << c.name;
    netDisconnectPosix();
    scriptServerStop(&server);
  }
}

TEST(ConnectionMessages, RefusedUnknownAndEmpty) {
  settingsReset();
  messagesClear();
  NetRequest r{};
  snprintf(r.address, sizeof r.address, "127.0.0.1");
  r.port = freeTcpPort();
  EXPECT_EQ(netConnectPosix(r, 3000), -1);
  snprintf(r.address, sizeof r.address, "no-such-host.invalid");
  EXPECT_EQ(netConnectPosix(r, 3000), -1);
  r.address[0] = '\0';
  EXPECT_EQ(netConnectPosix(r, 3000), -1);
  r.useFirewall = true;
  EXPECT_EQ(netConnectPosix(r, 3000), -1);
  ASSERT_EQ(messagesShown().size(), 4u);
  EXPECT_EQ(messagesShown()[0].text, "Failed to connect, Connection refused, check host ip address");
  EXPECT_EQ(messagesShown()[0].title, "Error");
  EXPECT_EQ(messagesShown()[1].text, "Error getting host address");
  EXPECT_EQ(messagesShown()[1].title, "Error");
  EXPECT_EQ(messagesShown()[2].text, "Host address not specified");
  EXPECT_EQ(messagesShown()[2].title, "error");
  EXPECT_EQ(messagesShown()[3].text, "Firewall address not specified");
  EXPECT_FALSE(linkConnected());
}

TEST(ConnectionMessages, FirewallHostAndPortComeFromTheSettings) {
  settingsReset();
  messagesClear();
  ScriptServer server;
  ASSERT_TRUE(scriptServerStart(&server, {scriptExpect("via firewall")}));
  regWriteString("FirewallAddressTelnet", "127.0.0.1");
  regWriteString("FirewallPortTelnet", std::to_string(server.port).c_str());
  NetRequest r{};
  snprintf(r.address, sizeof r.address, "elsewhere.invalid");
  r.port = 1;
  r.useFirewall = true;
  ASSERT_EQ(netConnectPosix(r, 3000), 0);
  linkWrite(reinterpret_cast<const uint8_t*>("via firewall"), 12);
  scriptServerStop(&server);
  EXPECT_EQ(server.failure, "");
  netDisconnectPosix();
}
}  // namespace
