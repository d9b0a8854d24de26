// tools/modem on a pty, driven the way the dial-up program drives a modem:
// AT commands typed, result codes read, dials bridged to loopback listeners.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/support/peers.h"

namespace {

// What fd gives until it contains want or timeoutMs pass.
std::string readUntil(int fd, const std::string& want, int timeoutMs) {
  std::string got;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (got.find(want) == std::string::npos) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    char buf[512];
    ssize_t n = left.count() > 0 && poll(&p, 1, static_cast<int>(left.count())) > 0 ? read(fd, buf, sizeof buf) : 0;
    if (n <= 0) break;
    got.append(buf, static_cast<size_t>(n));
  }
  return got;
}

int acceptOn(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 5000) == 1 ? accept(fd, nullptr, nullptr) : -1;
}

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class ModemTool : public ::testing::Test {
 protected:
  pid_t modem = -1;
  int tty = -1, listener = -1, answerListener = -1;

  void SetUp() override {
    int port = 0, answerPort = 0;
    listener = tcpListen(&port);
    answerListener = tcpListen(&answerPort);
    ASSERT_TRUE(listener >= 0 && answerListener >= 0);
    // Three rules for one number answer its dials in turn, the last one staying.
    modem = peerStartOnPty({buildPath("tools/modem"), "--number", "5551234=127.0.0.1:" + std::to_string(port),
                            "--number", "5550100=busy", "--number", "5550100=busy", "--number", "5550100=no-dialtone",
                            "--number", "7=no-dialtone", "--number", "8=no-carrier", "--answer",
                            "127.0.0.1:" + std::to_string(answerPort)},
                           &tty);
    ASSERT_GT(modem, 0);
  }
  void TearDown() override {
    peerStop(modem);
    for (int fd : {tty, listener, answerListener}) close(fd);
  }

  void type(const std::string& text) { ASSERT_EQ(write(tty, text.data(), text.size()), static_cast<ssize_t>(text.size())); }
  std::string expect(const std::string& want, int timeoutMs = 3000) {
    std::string got = readUntil(tty, want, timeoutMs);
    EXPECT_NE(got.find(want), std::string::npos) << "waited for [" << want << "], got [" << got << "]";
    return got;
  }
  std::string at(const std::string& command, const std::string& want, int timeoutMs = 3000) {
    type(command);
    return expect(want, timeoutMs);
  }
};

TEST_F(ModemTool, CommandsAndResultCodes) {
  EXPECT_EQ(at("ATZ\r", "OK\r\n"), "ATZ\r\r\nOK\r\n");  // echoed, verbal
  at("ATE0\r", "OK\r\n");
  EXPECT_EQ(at("ATV0\r", "0\r"), "0\r");
  type("ATQ1\r");  // the quiet command itself says nothing
  EXPECT_EQ(at("ATV1Q0\r", "OK\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(at("ATS7=30S7?\r", "OK\r\n"), "\r\n030\r\n\r\nOK\r\n");
  at("AT+-\r", "ERROR\r\n");
  at("ATDT (555) 010-0\r", "\r\nBUSY\r\n");
  at("ATDP7\r", "\r\nNO DIALTONE\r\n");
  at("ATDT8\r", "\r\nNO CARRIER\r\n");
  at("ATDT 999\r", "\r\nNO CARRIER\r\n", 6000);  // not in the table
  EXPECT_EQ(at("ATV0DT5550100\r", "7\r"), "7\r");
  for (int i = 0; i < 2; ++i) EXPECT_EQ(at("ATDT5550100\r", "6\r"), "6\r") << "dial " << i + 3 << " of the number";
}

TEST_F(ModemTool, DialBridgesEscapesAndLosesCarrier) {
  at("ATE0\r", "OK\r\n");
  type("ATDT,555-1234\r");  // the comma pauses two seconds
  int call = acceptOn(listener);
  ASSERT_GE(call, 0);
  expect("\r\nCONNECT 115200\r\n");
  type("hello+++");  // no guard time before: data, not an escape
  EXPECT_EQ(readUntil(call, "hello+++", 3000), "hello+++");
  ASSERT_EQ(write(call, "world", 5), 5);
  EXPECT_EQ(readUntil(tty, "world", 3000), "world");
  EXPECT_EQ(readUntil(tty, "OK", 1500), "");

  pause(1100);
  at("+++", "\r\nOK\r\n");
  ASSERT_EQ(write(call, "lost", 4), 4);  // dropped while in command mode
  at("ATO\r", "\r\nCONNECT 115200\r\n");
  ASSERT_EQ(write(call, "back", 4), 4);
  EXPECT_EQ(readUntil(tty, "back", 3000), "back");

  close(call);
  expect("\r\nNO CARRIER\r\n");
  at("AT\r", "\r\nOK\r\n");
}

TEST_F(ModemTool, RingsAreAnsweredByCommandAndAutomatically) {
  at("ATE0\r", "OK\r\n");
  ASSERT_EQ(kill(modem, SIGUSR1), 0);
  expect("\r\nRING\r\n");
  type("ATA\r");
  int call = acceptOn(answerListener);
  ASSERT_GE(call, 0);
  expect("\r\nCONNECT 115200\r\n");
  type("hi");
  EXPECT_EQ(readUntil(call, "hi", 3000), "hi");
  pause(1100);
  at("+++", "\r\nOK\r\n");
  at("ATH\r", "\r\nOK\r\n");
  // The escape's pluses went out as data; then hanging up closed the call.
  EXPECT_EQ(readUntil(call, "closed", 3000), "+++");
  close(call);

  at("ATS0=1\r", "OK\r\n");
  ASSERT_EQ(kill(modem, SIGUSR1), 0);
  call = acceptOn(answerListener);
  ASSERT_GE(call, 0);
  EXPECT_EQ(expect("CONNECT 115200\r\n"), "\r\nRING\r\n\r\nCONNECT 115200\r\n");
  close(call);
  expect("NO CARRIER");
}

}  // namespace
