// Our ZMODEM against lrzsz sz/rz through socat: batches both ways with and
// without control escaping, sz -8's oversized subpackets, skip-if-exists, and
// crash recovery over a partial file seeded from another file, so a resume
// can be told from a full re-send.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/interop/transfer_peers.h"

namespace {
std::string workDir(const std::string& name) { return transferWorkDir("z-" + name); }

std::string ours(const std::string& args) {
  return "cd '$DIR' && " + buildPath("tools/xfer") + " " + args + " 2>xfer.err; echo \\$? >status";
}

std::string oursIn(const std::string& dir, const std::string& args) {
  std::string s = ours(args);
  return s.replace(s.find("$DIR"), 4, dir);
}

struct Batch {
  std::vector<std::string> names, datas;
  std::string list;
};
Batch makeBatch(const std::string& dir, int salt) {
  Batch b;
  for (size_t i = 0; i < kTransferSizes.size(); ++i) {
    b.names.push_back("f" + std::to_string(kTransferSizes[i]));
    b.datas.push_back(makeFile(dir + "/in/" + b.names.back(), kTransferSizes[i], salt + static_cast<int>(i)));
    b.list += " " + b.names.back();
  }
  return b;
}
}  // namespace

TEST(ZmodemLrzsz, BatchesBothWaysWithAndWithoutEscaping) {
  struct Case {
    const char* name;
    const char* peer;  // lrzsz options
    const char* our;   // our options
    bool weSend;
  };
  const Case kCases[] = {
      {"receive", "sz -q", "", false},
      {"receive-sz-e", "sz -q -e", "", false},
      {"receive-our-e", "sz -q", "--escape-control", false},
      {"receive-segmented", "sz -q", "--segmented", false},
      {"receive-sz-8", "sz -q -8", "", false},
      {"send", "rz -q", "", true},
      {"send-rz-e", "rz -q -e", "", true},
      {"send-our-e", "rz -q", "--escape-control", true},
  };
  for (const Case& c : kCases) {
    std::string dir = workDir(c.name);
    Batch b = makeBatch(dir, 7);
    int rc;
    if (c.weSend) {
      rc = runPair(dir, oursIn(dir + "/in", std::string("send --protocol zmodem ") + c.our + b.list),
                   std::string("cd out && ") + c.peer);
      EXPECT_EQ(rc, -1);
      rc = std::atoi(readFile(dir + "/in/status").c_str());
    } else {
      rc = runPair(dir, std::string("cd in && ") + c.peer + b.list,
                   oursIn(dir, std::string("receive --protocol zmodem --dir out ") + c.our));
    }
    EXPECT_EQ(rc, 0) << c.name << ": " << readFile(dir + (c.weSend ? "/in" : "") + "/xfer.err");
    for (size_t i = 0; i < b.names.size(); ++i) {
      // We do not send empty files; lrzsz does and we take them.
      if (c.weSend && b.datas[i].empty()) continue;
      EXPECT_TRUE(readFile(dir + "/out/" + b.names[i]) == b.datas[i]) << c.name << " " << b.names[i];
    }
  }
}

TEST(ZmodemLrzsz, SkipIfExistsSkipsOnlyAFileOfTheSameSize) {
  std::string dir = workDir("skip");
  std::string a = makeFile(dir + "/in/a", 5000, 1);
  std::string c = makeFile(dir + "/in/c", 5000, 2);
  std::string oldA = makeFile(dir + "/out/a", 5000, 3);  // same size: kept
  makeFile(dir + "/out/c", 4000, 4);                     // other size: received again
  int rc = runPair(dir, "cd in && sz -q a c", oursIn(dir, "receive --protocol zmodem --skip-existing --dir out"));
  EXPECT_EQ(rc, 0) << readFile(dir + "/xfer.err");
  EXPECT_TRUE(readFile(dir + "/out/a") == oldA) << "a file of the same size was not skipped";
  EXPECT_TRUE(readFile(dir + "/out/c") == c) << "a file of another size was not received again";
}

// The partial file holds bytes of another file: after a real resume the result
// is that prefix followed by the rest of the sent file.
TEST(ZmodemLrzsz, CrashRecoveryResumesAfterTheSeededPrefixBothWays) {
  struct Case {
    const char* name;
    bool weSend;
  };
  for (Case c : {Case{"recover-receive", false}, Case{"recover-send", true}}) {
    std::string dir = workDir(c.name);
    std::string data = makeFile(dir + "/in/big", 300000, 5);
    std::string seed = makeFile(dir + "/out/big", 100000, 6);
    int rc;
    if (c.weSend) {
      runPair(dir, oursIn(dir + "/in", "send --protocol zmodem big"), "cd out && rz -q -r");
      rc = std::atoi(readFile(dir + "/in/status").c_str());
    } else {
      rc = runPair(dir, "cd in && sz -q -r big", oursIn(dir, "receive --protocol zmodem --crash-recover --dir out"));
    }
    EXPECT_EQ(rc, 0) << c.name;
    std::string got = readFile(dir + "/out/big");
    ASSERT_EQ(got.size(), data.size()) << c.name;
    // rz -r resumes at a block boundary at or below the partial size.
    size_t resume = 0;
    while (resume < seed.size() && got[resume] == seed[resume]) ++resume;
    EXPECT_GE(resume, c.weSend ? 90000u : 100000u) << c.name << ": sent again from the start";
    EXPECT_TRUE(got.substr(resume) == data.substr(resume)) << c.name;
  }
}
