// Our block senders against our block receivers in one process, through a
// line that drops, flips, duplicates and stalls bytes, on the manual clock:
// a file reported complete is always the file that was sent.
#include <dirent.h>

#include "tests/support/transfer_pair.h"
#include "tests/transfer/transfer_fixture.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"

namespace {
const size_t kSizes[] = {0, 1, 127, 128, 129, 1023, 1024, 1025, 40000};

struct Plan {
  const char* name;
  FaultPlan plan;
};
FaultPlan faults(int drop, int flip, int dup, int stall, uint32_t stallMs) {
  FaultPlan p;
  p.dropPerMillion = drop;
  p.flipPerMillion = flip;
  p.duplicatePerMillion = dup;
  p.stallPerMillion = stall;
  p.stallMs = stallMs;
  p.cleanBytes = 0;
  return p;
}
const Plan kPlans[] = {
    {"clean", FaultPlan{}},
    {"drop", faults(300, 0, 0, 0, 0)},
    {"flip", faults(0, 300, 0, 0, 0)},
    {"duplicate", faults(0, 0, 300, 0, 0)},
    {"stall", faults(0, 0, 0, 100, 40000)},
    {"all", faults(100, 100, 100, 30, 30000)},
};

std::string padded(const std::string& data, size_t block) {
  std::string out = data;
  if (out.size() % block) out.append(block - out.size() % block, '\x1A');
  return out;
}

// Descriptors this process holds: a transfer that ends, however, leaves its files closed.
int openDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

struct Outcome {
  PairOutcome pair;
  bool identical;
  int leftOpen;
};

Outcome runOne(int protocol, size_t size, const FaultPlan& forward, const FaultPlan& backward, uint32_t seed,
               int maxErrors) {
  std::string dir = freshDir("pair");
  std::string src = dir + "/f" + std::to_string(size);
  std::string data = writeData(src, size, seed);
  clockUseManual();
  FaultPlan f = forward, b = backward;
  f.seed = seed * 2 + 1;
  b.seed = seed * 2 + 2;
  faultLineReset(f, b);
  TransferState tx{}, rx{};
  transferBegin(tx, settingsFor(protocol, maxErrors));
  transferBegin(rx, settingsFor(protocol, maxErrors));
  std::string expected, got;
  int descriptors = openDescriptors();
  if (protocolIsXmodem(protocol)) {
    std::snprintf(tx.localPath, sizeof tx.localPath, "%s", src.c_str());
    std::snprintf(rx.localPath, sizeof rx.localPath, "%s/in.bin", dir.c_str());
    fileCreate(rx.localPath);
    expected = padded(data, protocol == PROTOCOL_XMODEM_1K ? 1024 : 128);
  } else {
    batchAdd(tx.batch, src.c_str());
    std::snprintf(rx.settings.downloadDir, sizeof rx.settings.downloadDir, "%s/down", dir.c_str());
    std::system(("mkdir -p '" + dir + "/down'").c_str());
    expected = data;
  }
  Outcome o{runTransferPair(tx, rx), false, 0};
  o.leftOpen = openDescriptors() - descriptors;
  got = readFile(protocolIsXmodem(protocol) ? dir + "/in.bin" : dir + "/down/f" + std::to_string(size));
  o.identical = got == expected;
  return o;
}
}  // namespace

TEST(BlockPair, EverySizeArrivesWholeOnACleanLine) {
  for (int protocol = PROTOCOL_XMODEM_SUM; protocol <= PROTOCOL_YMODEM_G; ++protocol) {
    for (size_t size : kSizes) {
      Outcome o = runOne(protocol, size, FaultPlan{}, FaultPlan{}, static_cast<uint32_t>(size), 5);
      EXPECT_EQ(o.pair.sent, 0) << protocolName(protocol) << " " << size;
      EXPECT_EQ(o.pair.received, STEP_COMPLETE) << protocolName(protocol) << " " << size;
      EXPECT_TRUE(o.identical) << protocolName(protocol) << " " << size;
      EXPECT_EQ(o.leftOpen, 0) << protocolName(protocol) << " " << size;
    }
  }
}

// The retrying protocols get through moderate noise both ways; whatever
// happens, complete means identical, and every run ends.
TEST(BlockPair, FaultyLineNeverReportsWrongDataComplete) {
  int completed = 0, runs = 0;
  for (int protocol = PROTOCOL_XMODEM_CRC; protocol <= PROTOCOL_YMODEM; ++protocol) {
    for (const Plan& p : kPlans) {
      for (uint32_t seed = 1; seed <= 4; ++seed) {
        Outcome o = runOne(protocol, 20000 + seed * 333, p.plan, p.plan, seed, 10);
        std::string what = std::string(protocolName(protocol)) + " " + p.name + " seed " + std::to_string(seed);
        ++runs;
        ASSERT_TRUE(o.pair.receiverDone) << what;
        EXPECT_EQ(o.leftOpen, 0) << what;
        if (o.pair.received == STEP_COMPLETE) {
          ++completed;
          EXPECT_TRUE(o.identical) << what;
        } else {
          EXPECT_LT(o.pair.received, 0) << what;
        }
      }
    }
  }
  EXPECT_GE(completed, runs * 9 / 10) << "retries should carry most runs through";
}

// YMODEM-G has no retries: a damaged stream ends with an error, never with a
// wrong file reported complete.
TEST(BlockPair, StreamingEndsWithAnErrorOnDamage) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    Outcome o = runOne(PROTOCOL_YMODEM_G, 30000, faults(0, 200, 0, 0, 0), FaultPlan{}, seed, 5);
    ASSERT_TRUE(o.pair.receiverDone);
    EXPECT_EQ(o.leftOpen, 0) << seed;
    if (o.pair.received == STEP_COMPLETE) EXPECT_TRUE(o.identical) << seed;
    else EXPECT_LT(o.pair.received, 0);
  }
}
