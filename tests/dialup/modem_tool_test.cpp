// tools/modem behind a pty made by socat, driven the way the dial-up program
// drives a modem: AT commands typed, result codes read, dials bridged to
// loopback listeners.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/peers.h"

namespace {

class ModemTool : public ::testing::Test {
 protected:
  std::string dir, link;
  pid_t socat = -1;
  int tty = -1;
  int listener = -1, answerListener = -1;
  int port = 0, answerPort = 0;

  void SetUp() override {
    char pattern[] = "/tmp/modemtool-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    link = dir + "/tty";
    listener = tcpListen(&port);
    answerListener = tcpListen(&answerPort);
    ASSERT_GE(listener, 0);
    ASSERT_GE(answerListener, 0);
    std::string modem = buildPath("tools/modem") + " --number 5551234=127.0.0.1:" + std::to_string(port) +
                        " --number 5550100=busy --number 7=no-dialtone --number 8=no-carrier" +
                        " --answer 127.0.0.1:" + std::to_string(answerPort);
    // socat's address syntax takes the colons of host:port: the command goes
    // through a script.
    std::ofstream(dir + "/run") << "echo $$ >" << dir << "/pid\nexec " << modem << "\n";
    socat = peerStart({"socat", "PTY,link=" + link + ",raw,echo=0", "SYSTEM:sh " + dir + "/run"}, "modem-tool");
    ASSERT_GT(socat, 0);
    for (int i = 0; i < 200 && tty < 0; ++i) {
      tty = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
      if (tty < 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_GE(tty, 0);
    termios t;
    tcgetattr(tty, &t);
    cfmakeraw(&t);
    tcsetattr(tty, TCSANOW, &t);
  }
  void TearDown() override {
    if (tty >= 0) close(tty);
    peerStop(socat);
    close(listener);
    close(answerListener);
    std::string cmd = "rm -rf '" + dir + "'";
    if (system(cmd.c_str()) != 0) ADD_FAILURE() << cmd;
  }

  void type(const std::string& text) { ASSERT_EQ(write(tty, text.data(), text.size()), static_cast<ssize_t>(text.size())); }

  // What fd gives until it contains want or timeoutMs pass.
  static std::string readUntil(int fd, const std::string& want, int timeoutMs) {
    std::string got;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.find(want) == std::string::npos || want.empty()) {
      int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
      if (left <= 0) break;
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, left) <= 0) break;
      char buf[512];
      ssize_t n = read(fd, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<size_t>(n));
    }
    return got;
  }
  std::string expect(const std::string& want, int timeoutMs = 3000) {
    std::string got = readUntil(tty, want, timeoutMs);
    EXPECT_NE(got.find(want), std::string::npos) << "waited for [" << want << "], got [" << got << "]";
    return got;
  }
  static int acceptOn(int fd) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 5000) != 1) return -1;
    return accept(fd, nullptr, nullptr);
  }
  pid_t modemPid() {
    std::ifstream in(dir + "/pid");
    int pid = -1;
    in >> pid;
    return pid;
  }
  static void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

TEST_F(ModemTool, CommandsAndResultCodes) {
  type("ATZ\r");
  EXPECT_EQ(expect("OK\r\n"), "ATZ\r\r\nOK\r\n");  // echoed, verbal
  type("ATE0\r");
  expect("OK\r\n");
  type("ATV0\r");
  EXPECT_EQ(expect("0\r"), "0\r");
  type("ATQ1\r");
  type("ATV1Q0\r");  // the quiet command itself says nothing
  EXPECT_EQ(expect("OK\r\n"), "\r\nOK\r\n");
  type("ATS7=30S7?\r");
  EXPECT_EQ(expect("OK\r\n"), "\r\n030\r\n\r\nOK\r\n");
  type("AT+-\r");
  expect("ERROR\r\n");
  type("ATDT (555) 010-0\r");
  expect("\r\nBUSY\r\n");
  type("ATDP7\r");
  expect("\r\nNO DIALTONE\r\n");
  type("ATDT8\r");
  expect("\r\nNO CARRIER\r\n");
  type("ATDT 999\r");  // not in the table
  expect("\r\nNO CARRIER\r\n", 6000);
  type("ATV0DT5550100\r");
  EXPECT_EQ(expect("7\r"), "7\r");
}

TEST_F(ModemTool, DialBridgesEscapesAndLosesCarrier) {
  type("ATE0\r");
  expect("OK\r\n");
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
  type("+++");
  expect("\r\nOK\r\n");
  ASSERT_EQ(write(call, "lost", 4), 4);  // dropped while in command mode
  type("ATO\r");
  expect("\r\nCONNECT 115200\r\n");
  ASSERT_EQ(write(call, "back", 4), 4);
  EXPECT_EQ(readUntil(tty, "back", 3000), "back");

  close(call);
  expect("\r\nNO CARRIER\r\n");
  type("AT\r");
  expect("\r\nOK\r\n");
}

TEST_F(ModemTool, RingsAreAnsweredByCommandAndAutomatically) {
  type("ATE0\r");
  expect("OK\r\n");
  pid_t pid = modemPid();
  ASSERT_GT(pid, 0);
  ASSERT_EQ(kill(pid, SIGUSR1), 0);
  expect("\r\nRING\r\n");
  type("ATA\r");
  int call = acceptOn(answerListener);
  ASSERT_GE(call, 0);
  expect("\r\nCONNECT 115200\r\n");
  type("hi");
  EXPECT_EQ(readUntil(call, "hi", 3000), "hi");
  pause(1100);
  type("+++");
  expect("\r\nOK\r\n");
  type("ATH\r");
  expect("\r\nOK\r\n");
  // The escape's pluses went out as data; then hanging up closed the call.
  EXPECT_EQ(readUntil(call, "closed", 3000), "+++");
  close(call);

  type("ATS0=1\r");
  expect("OK\r\n");
  ASSERT_EQ(kill(pid, SIGUSR1), 0);
  call = acceptOn(answerListener);
  ASSERT_GE(call, 0);
  EXPECT_EQ(expect("CONNECT 115200\r\n"), "\r\nRING\r\n\r\nCONNECT 115200\r\n");
  close(call);
  expect("NO CARRIER");
}

}  // namespace
