// The socket link's portable half: where a session connects to, and the read
// and write contracts over a scripted platform receive and send.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "shell/message_box_posix.h"
#include "shell/settings.h"
#include "shell/settings_posix.h"
#include "telnet/net_connection.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"

namespace {
NetRequest request(const char* address, int port, bool rlogin = false, bool firewall = false) {
  NetRequest r{};
  snprintf(r.address, sizeof r.address, "%s", address);
  r.port = port;
  r.rlogin = rlogin;
  r.useFirewall = firewall;
  return r;
}

struct PlanCase {
  const char* address;
  int port;
  bool rlogin, firewall;
  const char* firewallAddress;  // nullptr: not in the settings
  const char* firewallPort;
  const char* target;
  int portWithoutLookup;  // 0: the service is looked up
  int fallback;           // port after a failed service look-up
};

void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.address << ":" << c.port; }

class Planning : public ::testing::TestWithParam<PlanCase> {};

TEST_P(Planning, TargetAndPort) {
  const PlanCase& c = GetParam();
  settingsReset();
  messagesClear();
  if (c.firewallAddress) regWriteString("FirewallAddressTelnet", c.firewallAddress);
  if (c.firewallPort) regWriteString("FirewallPortTelnet", c.firewallPort);
  NetTarget t;
  ASSERT_EQ(netPlanTarget(request(c.address, c.port, c.rlogin, c.firewall), &t), 0);
  EXPECT_STREQ(t.address, c.target);
  EXPECT_EQ(netPortWithoutLookup(t), c.portWithoutLookup);
  EXPECT_EQ(netFallbackPort(t), c.fallback);
  EXPECT_TRUE(messagesShown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Planning,
    ::testing::Values(
        PlanCase{"10.0.0.1", 0, false, false, nullptr, nullptr, "10.0.0.1", 0, 23},
        PlanCase{"host.example", 2323, false, false, nullptr, nullptr, "host.example", 2323, 23},
        PlanCase{"host.example", 0, true, false, nullptr, nullptr, "host.example", 0, 513},
        PlanCase{"host.example", 99, false, true, "10.1.1.1", "8023", "10.1.1.1", 8023, 8023},
        PlanCase{"host.example", 99, false, true, "10.1.1.1", nullptr, "10.1.1.1", 23, 23},
        PlanCase{"host.example", 99, true, true, "10.1.1.1", "0", "10.1.1.1", 513, 0},
        PlanCase{"host.example", 0, false, true, "fw.example", "0", "fw.example", 0, 0}));

TEST(NetConnection, DottedDecimal) {
  for (const char* yes : {"10.0.0.1", "127.0.0.1", "255.255.255.255", "0.0.0.0"}) EXPECT_TRUE(netIsDottedDecimal(yes)) << yes;
  for (const char* no : {"", "10.0.0", "10.0.0.1.", "256.1.1.1", "1..1.1", "a.b.c.d", "localhost", "1.2.3.4x", "0001.2.3.4"})
    EXPECT_FALSE(netIsDottedDecimal(no)) << no;
}

TEST(NetConnection, FailureTexts) {
  char text[96];
  netConnectFailureText(10060, text, sizeof text);
  EXPECT_STREQ(text, "Failed to connect, Connection timed out");
  netConnectFailureText(10065, text, sizeof text);
  EXPECT_STREQ(text, "Failed to connect, 10065") << "an error without a text shows its number";
}

// A platform receive that hands out scripted results, one per call.
std::deque<std::string> arrivals;  // "" stands for would-block, "LOST" for the close
int calls = 0;
int scriptedReceive(uint8_t* buffer, int size) {
  ++calls;
  if (arrivals.empty()) return 0;
  std::string next = arrivals.front();
  arrivals.pop_front();
  if (next == "LOST") return LINK_LOST;
  int n = static_cast<int>(next.size()) < size ? static_cast<int>(next.size()) : size;
  memcpy(buffer, next.data(), static_cast<size_t>(n));
  return n;
}

std::string readAll(int count, int* result) {
  uint8_t buf[64];
  *result = netLinkRead(buf, count, scriptedReceive);
  return std::string(reinterpret_cast<char*>(buf), static_cast<size_t>(*result > 0 ? *result : 0));
}

TEST(NetConnection, EstablishedLinkReadsBoundedByTheBufferAndTheCount) {
  linkEightBit = false;
  telnetState.inCommand = true;  // left over from the last connection
  netEstablished(4);
  EXPECT_TRUE(linkEightBit);
  EXPECT_FALSE(telnetState.inCommand);
  EXPECT_EQ(netLink.recvSize, 4);
  arrivals = {"abcdefgh", ""};
  int r;
  EXPECT_EQ(readAll(3, &r), "abc");
  EXPECT_EQ(readAll(10, &r), "d") << "one receive per empty buffer, at most its size";
  int in = -1;
  EXPECT_EQ(netLinkPoll(&in, scriptedReceive), 0);
  EXPECT_EQ(in, 0);
  netLinkPurge(0);
  netReleased();
  netEstablished(0);
  EXPECT_EQ(netLink.recvSize, 4096) << "a size below 1 gives 4096";
  netReleased();
}

TEST(NetConnection, DoubledFFCollapsesOnlyDuringTelnetTransfers) {
  const std::string ffs(4, '\xFF');
  int r;
  telnetSession.rlogin = false;
  netEstablished(64);
  arrivals = {ffs + "a\xFF\xFF" + "b"};
  EXPECT_EQ(readAll(64, &r), ffs + "a\xFF\xFF" + "b") << "no transfer: nothing collapses";
  netTransferRunning = true;
  arrivals = {ffs + "a\xFF\xFF\xFF" + "b"};
  EXPECT_EQ(readAll(64, &r), "\xFF\xFF" "a\xFF\xFF" "b") << "four give two, three give two";
  netReleased();
  telnetSession.rlogin = true;
  netEstablished(64);
  arrivals = {ffs};
  EXPECT_EQ(readAll(64, &r), ffs) << "Rlogin: 0xFF is plain data";
  netTransferRunning = false;
  telnetSession.rlogin = false;
  netReleased();
}

TEST(NetConnection, PollReportsWaitingBytesAndTheLoss) {
  netEstablished(16);
  arrivals = {"xyz", "LOST"};
  int in = 0;
  EXPECT_EQ(netLinkPoll(&in, scriptedReceive), 0);
  EXPECT_EQ(in, 3);
  int r;
  EXPECT_EQ(readAll(2, &r), "xy");
  EXPECT_EQ(netLinkPoll(&in, scriptedReceive), 0);
  EXPECT_EQ(in, 1);
  EXPECT_EQ(readAll(5, &r), "z");
  EXPECT_EQ(netLinkPoll(&in, scriptedReceive), LINK_LOST);
  EXPECT_EQ(readAll(5, &r), "");
  EXPECT_EQ(r, LINK_LOST) << "the loss stays reported";
  netReleased();
  EXPECT_EQ(netLinkPoll(&in, scriptedReceive), 0) << "not connected";
}

std::string sent;
std::deque<int> sendPlan;  // per call: bytes accepted, -1 would block, -2 fatal
int waits = 0;
int scriptedSend(const uint8_t* bytes, int length) {
  int n = sendPlan.empty() ? length : sendPlan.front();
  if (!sendPlan.empty()) sendPlan.pop_front();
  if (n > length) n = length;
  if (n > 0) sent.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
  return n;
}
void scriptedWait() {
  if (++waits >= 3) netLink.writable = true;
}

TEST(NetConnection, WriteWaitsUntilWritableAndStopsOnFatalErrors) {
  netEstablished(16);
  sent.clear();
  waits = 0;
  sendPlan = {2, -1, 3};
  const uint8_t data[] = {'h', 'e', 'l', 'l', 'o'};
  EXPECT_EQ(netLinkWrite(data, 5, scriptedSend, scriptedWait), 0);
  EXPECT_EQ(sent, "hello");
  EXPECT_EQ(waits, 3) << "a blocked send waits for the write-ready event";
  sendPlan = {1, -2};
  EXPECT_EQ(netLinkWrite(data, 5, scriptedSend, scriptedWait), -1);
  volatile bool abort = true;
  netWriteAbort = &abort;
  netLink.writable = false;
  EXPECT_EQ(netLinkWrite(data, 5, scriptedSend, scriptedWait), -1) << "a transfer's Cancel ends the wait";
  netWriteAbort = nullptr;
  netReleased();
  EXPECT_EQ(netLinkWrite(data, 5, scriptedSend, scriptedWait), -1) << "not connected";
}

}  // namespace
