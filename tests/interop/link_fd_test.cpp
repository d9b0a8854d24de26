// The host link against real processes: a pseudo-terminal and a TCP socket
// carry bytes both ways, and the far side closing reads as LINK_LOST.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "terminal/link.h"
#include "terminal/link_fd_posix.h"
#include "tests/support/peers.h"

namespace {
// Reads from the link until want bytes arrived, the link is lost or 5 s pass.
// Returns what arrived; *result gets the last read's result.
std::string readLink(size_t want, int* result) {
  std::string got;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  *result = 0;
  while (got.size() < want && std::chrono::steady_clock::now() < deadline) {
    uint8_t buf[256];
    int n = linkRead(buf, sizeof buf);
    *result = n;
    if (n < 0) break;
    if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    got.append(reinterpret_cast<char*>(buf), static_cast<size_t>(n > 0 ? n : 0));
  }
  return got;
}

void exchange(bool isSocket) {
  const uint8_t msg[] = {'h', 0xFF, 0x00, '\r', 'o'};
  int sent = linkWrite(msg, sizeof msg);
  EXPECT_EQ(sent, isSocket ? 0 : 5) << "a socket write reports 0, a serial one its count";
  int r = 0;
  std::string back = readLink(5, &r);
  EXPECT_EQ(back, std::string(reinterpret_cast<const char*>(msg), 5));
  readLink(1u << 20, &r);
  EXPECT_EQ(r, LINK_LOST);
  int in = -1, out = -1;
  EXPECT_EQ(linkPoll(&in, &out), LINK_LOST);
  EXPECT_EQ(linkRead(reinterpret_cast<uint8_t*>(&r), 1), LINK_LOST) << "stays lost";
}
}  // namespace

// head exits after five bytes; its end of the line closes.
TEST(LinkFd, PseudoTerminalAndTcpExchangeBytesAndReportClose) {
  int master = -1, port = freeTcpPort();
  PeerGuard pty(peerStartOnPty({"head", "-c", "5"}, &master));
  PeerGuard tcp(peerStart({"socat", "TCP-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr", "SYSTEM:head -c 5"},
                          "link-tcp"));
  ASSERT_GT(pty.pid, 0);
  ASSERT_GT(tcp.pid, 0);
  ASSERT_TRUE(waitListening(port, 5000));
  for (bool isSocket : {false, true}) {
    ASSERT_EQ(linkAttachFd(isSocket ? tcpConnect(port) : master, isSocket), 0);
    EXPECT_EQ(linkIsSocket(), isSocket);
    exchange(isSocket);
    linkClose();
    EXPECT_FALSE(linkConnected());
  }
}

TEST(LinkFd, UnconnectedLinkReadsNothing) {
  linkClose();
  uint8_t b;
  EXPECT_EQ(linkRead(&b, 1), 0);
  EXPECT_EQ(linkWrite(&b, 1), -1);
  int in = 7, out = 7;
  EXPECT_EQ(linkPoll(&in, &out), 0);
  EXPECT_EQ(in, 0);
  EXPECT_EQ(linkModemStatus(), 0u);
}
