// ZMODEM over a channel that holds megabytes in flight (loopback TCP through
// socat) with one byte spoilt on the way: after the receiver's ZRPOS the rest
// of the stream in flight is skipped until the sender's restart arrives, and
// that skipping is one retry, not one per garbage limit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/support/file_text.h"
#include "tests/support/peers.h"

TEST(ZmodemDeepChannel, OneSpoiltByteCostsARetryNotTheTransfer) {
  std::string xfer = buildPath("tools/xfer");
  struct Case {
    const char* name;
    std::string sender;
  } cases[] = {{"ours", xfer + " send --protocol zmodem data"}, {"sz", "sz -q data"}};
  const std::string data = pseudoRandom(8 << 20, 7);
  for (const Case& c : cases) {
    std::string dir = freshBuildDir(std::string("zmodem-deep/") + c.name, {"in", "out"});
    writeFile(dir + "/in/data", data);
    int receiverPort = freeTcpPort(), relayPort = freeTcpPort();
    PeerGuard receiver(peerStart({"socat", "TCP-LISTEN:" + std::to_string(receiverPort) + ",bind=127.0.0.1,reuseaddr",
                                  "SYSTEM:cd " + dir + "/out && " + xfer +
                                      " receive --protocol zmodem --dir . 2>err; echo $? > status"},
                                 "zmodem-deep"));
    ASSERT_TRUE(waitListening(receiverPort, 10000)) << c.name;
    PeerGuard relay(peerStart({"/usr/bin/python3", sourcePath("tests/support/bit_flip_relay.py"),
                               std::to_string(relayPort), std::to_string(receiverPort), "3000000"},
                              "zmodem-deep"));
    ASSERT_TRUE(waitListening(relayPort, 20000)) << c.name;
    std::system(("cd '" + dir + "/in' && timeout 60 socat TCP:127.0.0.1:" + std::to_string(relayPort) +
                 " SYSTEM:'" + c.sender + "' 2>/dev/null")
                    .c_str());
    for (int i = 0; i < 1000 && access((dir + "/out/status").c_str(), F_OK) != 0; ++i) usleep(10000);
    EXPECT_EQ(readFile(dir + "/out/status"), "0\n") << c.name << ": " << readFile(dir + "/out/err");
    EXPECT_TRUE(readFile(dir + "/out/data") == data) << c.name;
  }
}
