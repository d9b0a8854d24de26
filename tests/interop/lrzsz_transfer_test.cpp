// Our block protocols against lrzsz, through socat (a socketpair on each
// side): sx/rx with checksum, CRC and 1K blocks, sb/rb, and sb streaming to our
// YMODEM-G receiver, both directions where lrzsz has the other half.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/interop/transfer_peers.h"

namespace {
std::string workDir(const std::string& name) { return transferWorkDir("" + name); }

std::string ours(const std::string& args) {
  return buildPath("tools/xfer") + " " + args + " 2>xfer.err; echo \\$? >status";
}

// XMODEM fills the last block with 0x1A: what arrives is the file, padding to
// a whole block of 128 (or, from our 1K sender, 1024) and nothing else.
void expectPadded(const std::string& got, const std::string& sent, size_t block, const std::string& what) {
  ASSERT_GE(got.size(), sent.size()) << what;
  EXPECT_EQ(got.substr(0, sent.size()), sent) << what;
  EXPECT_EQ(got.size() % 128, 0u) << what;
  EXPECT_LT(got.size() - sent.size(), block) << what;
  EXPECT_EQ(got.find_first_not_of('\x1A', sent.size()), std::string::npos) << what;
}

struct XmodemCase {
  const char* protocol;
  const char* peerSend;     // lrzsz sender options
  const char* peerReceive;  // lrzsz receiver options
  size_t ourBlock;
};
const XmodemCase kXmodem[] = {
    {"xmodem", "sx -q", "rx -q", 128},
    {"xmodem-crc", "sx -q", "rx -q -c", 128},
    {"xmodem-1k", "sx -q -k", "rx -q -c", 1024},
};
}  // namespace

TEST(LrzszTransfer, XmodemBothDirectionsEverySize) {
  for (const XmodemCase& c : kXmodem) {
    std::string dir = workDir(std::string("x-") + c.protocol);
    for (size_t i = 0; i < kTransferSizes.size(); ++i) {
      std::string name = "f" + std::to_string(kTransferSizes[i]);
      std::string data = makeFile(dir + "/in/" + name, kTransferSizes[i], static_cast<int>(i));
      std::string what = std::string(c.protocol) + " " + name;

      int rc = runPair(dir, std::string("cd in && ") + c.peerSend + " " + name,
                       ours(std::string("receive --protocol ") + c.protocol + " --dir out " + name));
      EXPECT_EQ(rc, 0) << "receive " << what << ": " << readFile(dir + "/xfer.err");
      expectPadded(readFile(dir + "/out/" + name), data, 128, "receive " + what);

      rc = runPair(dir, ours(std::string("send --protocol ") + c.protocol + " in/" + name),
                   std::string("cd out && ") + c.peerReceive + " back-" + name);
      EXPECT_EQ(rc, 0) << "send " << what << ": " << readFile(dir + "/xfer.err");
      expectPadded(readFile(dir + "/out/back-" + name), data, c.ourBlock, "send " + what);
    }
  }
}

// One batch of every size each way; YMODEM files arrive byte-identical.
TEST(LrzszTransfer, YmodemBatchBothDirectionsAndStreamingFromSb) {
  struct Case {
    const char* protocol;
    bool weSend;
  };
  for (Case c : {Case{"ymodem", false}, Case{"ymodem", true}, Case{"ymodem-g", false}}) {
    std::string dir = workDir(std::string("y-") + c.protocol + (c.weSend ? "-send" : "-receive"));
    std::vector<std::string> names, datas;
    std::string list;
    for (size_t i = 0; i < kTransferSizes.size(); ++i) {
      names.push_back("f" + std::to_string(kTransferSizes[i]));
      datas.push_back(makeFile(dir + "/in/" + names.back(), kTransferSizes[i], static_cast<int>(i) + 20));
      list += " " + names.back();
    }
    int rc;
    if (c.weSend) {
      rc = runPair(dir, "cd in && " + ours(std::string("send --protocol ") + c.protocol + list), "cd out && rb -q");
    } else {
      rc = runPair(dir, "cd in && sb -q" + list, ours(std::string("receive --protocol ") + c.protocol + " --dir out"));
    }
    std::string err = readFile(dir + (c.weSend ? "/in" : "") + "/xfer.err");
    EXPECT_EQ(rc, c.weSend ? -1 : 0) << err;  // the sending side's status file lands in in/
    if (c.weSend) {
      EXPECT_EQ(std::atoi(readFile(dir + "/in/status").c_str()), 0) << err;
    }
    for (size_t i = 0; i < names.size(); ++i)
      EXPECT_EQ(readFile(dir + "/out/" + names[i]), datas[i]) << c.protocol << " " << names[i];
  }
}
