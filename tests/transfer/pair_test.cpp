// Our senders against our receivers in one process, through a line that
// drops, flips, duplicates and stalls bytes, on the manual clock: every file
// arrives byte-identical (XMODEM's padded to its block; an empty file of a
// batch is skipped), or the transfer ends with an error code; never is wrong
// data reported complete.
#include <dirent.h>
#include <sys/resource.h>

#include <csignal>

#include <cctype>

#include "tests/transfer/transfer_fixture.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"

namespace {
enum Expect {
  WHOLE,     // both ends succeed
  COMPLETE,  // the receive completes
  SAFE,      // complete, or an error with its text
  MOSTLY,    // SAFE, and nine in ten of these runs complete
  FAILS,     // both ends report failure
};

struct Row {
  std::string name;
  int protocol;
  FaultPlan there, back;  // towards the receiver, towards the sender
  std::vector<size_t> sizes;
  bool filePerRun;  // else one batch
  uint32_t seed;    // run k uses seed + k for the line and the data
  int maxErrors;
  Expect expect;
  int packetSize = 0;
  bool eightBit = false, escape = false, segmented = false;
  size_t diskLimit = 0;  // the receiver's disk fills at this many bytes
};
void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

FaultPlan faults(int drop, int flip, int dup, int stall, uint32_t stallMs) {
  FaultPlan p;
  p.dropPerMillion = drop;
  p.flipPerMillion = flip;
  p.duplicatePerMillion = dup;
  p.stallPerMillion = stall;
  p.stallMs = stallMs;
  return p;
}

std::vector<Row> rows() {
  std::vector<Row> t;
  const std::vector<size_t> blockSizes = {0, 1, 127, 128, 129, 1023, 1024, 1025, 40000};
  for (int p = PROTOCOL_XMODEM_SUM; p <= PROTOCOL_YMODEM_G; ++p)
    t.push_back({std::string(protocolName(p)) + " clean", p, {}, {}, blockSizes, true, 1, 5, WHOLE});
  struct Plan {
    const char* name;
    FaultPlan block, zmodem;
  } plans[] = {
      {"clean", FaultPlan{}, FaultPlan{}},
      {"drop", faults(300, 0, 0, 0, 0), faults(200, 0, 0, 0, 15000)},
      {"flip", faults(0, 300, 0, 0, 0), faults(0, 200, 0, 0, 15000)},
      {"duplicate", faults(0, 0, 300, 0, 0), faults(0, 0, 200, 0, 15000)},
      {"stall", faults(0, 0, 0, 100, 40000), faults(0, 0, 0, 50, 15000)},
      {"all", faults(100, 100, 100, 30, 30000), faults(60, 60, 60, 20, 15000)},
  };
  // The retrying block protocols get through moderate noise both ways.
  for (int p = PROTOCOL_XMODEM_CRC; p <= PROTOCOL_YMODEM; ++p)
    for (const Plan& f : plans)
      t.push_back({std::string(protocolName(p)) + " " + f.name + " 20K", p, f.block, f.block, {20333, 20666, 20999, 21332},
                   true, 1, 10, MOSTLY});
  // YMODEM-G has no retries: damage ends it with an error.
  t.push_back({"YMODEM-G flips", PROTOCOL_YMODEM_G, faults(0, 200, 0, 0, 0), {}, std::vector<size_t>(6, 30000), true,
               1, 5, SAFE});
  // Every Kermit packet size class, with and without eight-bit prefixing.
  for (int size : {94, 1024, 9024})
    for (bool eightBit : {false, true})
      t.push_back({"Kermit clean " + std::to_string(size) + (eightBit ? " 8-bit" : ""), PROTOCOL_KERMIT, {}, {},
                   {0, 1, 94, 95, 1023, 1024, 1025, 300 * 1024}, false, 1, 5, WHOLE, size, eightBit});
  // Lost and repeated acknowledgements, flipped and dropped bytes, stalls
  // longer than the time-out; faults start after a clean opening.
  struct KermitPlan {
    const char* name;
    FaultPlan there, back;
    Expect expect;
  } kermit[] = {
      {"drops", {1, 300, 0, 0, 0, 0, 0, 200}, {1, 3000, 0, 0, 0, 0, 0, 100}, WHOLE},
      {"flips", {1, 0, 300, 0, 0, 0, 0, 200}, {1, 0, 3000, 0, 0, 0, 0, 100}, WHOLE},
      {"duplicates", {1, 0, 0, 3000, 0, 0, 0, 200}, {1, 0, 0, 30000, 0, 0, 0, 100}, WHOLE},
      {"stalls", {1, 0, 0, 0, 30, 12000, 0, 200}, {1, 0, 0, 0, 300, 12000, 0, 100}, WHOLE},
      {"everything", {1, 2000, 2000, 2000, 50, 3000, 0, 0}, {1, 9000, 9000, 9000, 0, 0, 0, 0}, SAFE},
  };
  for (size_t i = 0; i < 5; ++i) {
    for (int size : {94, 4000}) {
      FaultPlan there = kermit[i].there;
      // Long packets meet about as many faults per packet at a fortieth of the rate.
      if (size > 94) there.dropPerMillion /= 40, there.flipPerMillion /= 40, there.duplicatePerMillion /= 40;
      t.push_back({std::string("Kermit ") + kermit[i].name + " " + std::to_string(size), PROTOCOL_KERMIT, there,
                   kermit[i].back, {5000, 70000}, false, static_cast<uint32_t>(5 * i + 5), 8, kermit[i].expect, size,
                   true});
    }
  }
  // ZMODEM completes through every fault, with the sender escaping every
  // control and with a receiver that asks for segmented streaming.
  uint32_t seed = 2;
  for (const Plan& f : plans) {
    for (int variant = 0; variant < 3; ++variant) {
      t.push_back({std::string("ZMODEM ") + f.name + (variant == 1 ? " escape" : variant == 2 ? " segmented" : ""),
                   PROTOCOL_ZMODEM, f.zmodem, f.zmodem, {1, 1023, 1024, 1025, 40000}, true, seed, 40,
                   f.zmodem.stallPerMillion || f.zmodem.dropPerMillion || f.zmodem.flipPerMillion ||
                           f.zmodem.duplicatePerMillion
                       ? COMPLETE
                       : WHOLE,
                   0, false, variant == 1, variant == 2});
      seed += 5;
    }
  }
  // A disk that fills mid-file: the receiver may have answered the block
  // before its write failed, but neither end may report the file delivered.
  for (int p : {PROTOCOL_XMODEM_1K, PROTOCOL_YMODEM, PROTOCOL_YMODEM_G, PROTOCOL_ZMODEM, PROTOCOL_KERMIT})
    for (size_t size : {size_t{40000}, size_t{10240 + 512}}) {
      Row r{std::string(protocolName(p)) + " full disk " + std::to_string(size), p, {}, {}, {size}, true, 1, 5, FAILS};
      r.diskLimit = 10240;
      t.push_back(r);
    }
  return t;
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
  bool intact;
  int leftOpen;
};

// One run: the files of sizes (names in capitals, as our Kermit sender sends them).
Outcome runOne(const Row& r, const std::vector<size_t>& sizes, uint32_t seed) {
  std::string dir = freshDir("pair");
  std::system(("mkdir -p '" + dir + "/down'").c_str());
  clockUseManual();
  FaultPlan f = r.there, b = r.back;
  f.seed = seed * 2 + 1;
  b.seed = seed * 2 + 2;
  faultLineReset(f, b);
  TransferSettings set = settingsFor(r.protocol, r.maxErrors);
  if (r.packetSize) set.kermitPacketSize = r.packetSize;
  set.kermitEightbit = r.eightBit;
  TransferState tx{}, rx{};
  set.zmodemEscapeControl = r.escape;
  transferBegin(tx, set);
  set.zmodemEscapeControl = false;
  set.zmodemSegmented = r.segmented;
  std::snprintf(set.downloadDir, sizeof set.downloadDir, "%s/down", dir.c_str());
  transferBegin(rx, set);
  bool xmodem = protocolIsXmodem(r.protocol);
  std::vector<std::string> datas;
  for (size_t i = 0; i < sizes.size(); ++i) {
    std::string name = "/F" + std::to_string(i) + ".BIN";
    datas.push_back(writeData(dir + name, sizes[i], seed + static_cast<uint32_t>(i)));
    batchAdd(tx.batch, (dir + name).c_str());
    std::snprintf(tx.localPath, sizeof tx.localPath, "%s%s", dir.c_str(), name.c_str());
    std::snprintf(rx.localPath, sizeof rx.localPath, "%s/down%s", dir.c_str(), name.c_str());
  }
  if (xmodem) fileCreate(rx.localPath);
  int descriptors = openDescriptors();
  rlimit saved{}, limit{};
  if (r.diskLimit) {
    signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved);
    limit = saved;
    limit.rlim_cur = r.diskLimit;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  Outcome o{runTransferPair(tx, rx), true, 0};
  if (r.diskLimit) setrlimit(RLIMIT_FSIZE, &saved);
  o.leftOpen = openDescriptors() - descriptors;
  for (size_t i = 0; i < sizes.size(); ++i) {
    std::string got = readFile(dir + "/down/F" + std::to_string(i) + ".BIN"), want = datas[i];
    // The batch senders skip an empty file: none arrives.
    if (!xmodem && want.empty()) {
      o.intact = o.intact && !fileExists((dir + "/down/F" + std::to_string(i) + ".BIN").c_str());
      continue;
    }
    size_t block = r.protocol == PROTOCOL_XMODEM_1K ? 1024 : 128;
    if (xmodem && want.size() % block) want.append(block - want.size() % block, '\x1A');
    o.intact = o.intact && fileExists((dir + "/down/F" + std::to_string(i) + ".BIN").c_str()) && got == want;
  }
  return o;
}

class Pair : public ::testing::TestWithParam<Row> {};

TEST_P(Pair, CompleteMeansIdentical) {
  const Row& r = GetParam();
  size_t runs = r.filePerRun ? r.sizes.size() : 1;
  int completed = 0;
  for (size_t k = 0; k < runs; ++k) {
    std::vector<size_t> sizes = r.filePerRun ? std::vector<size_t>{r.sizes[k]} : r.sizes;
    Outcome o = runOne(r, sizes, r.seed + static_cast<uint32_t>(k));
    std::string what = "run " + std::to_string(k) + ": sent " + std::to_string(o.pair.sent) + ", received " +
                       std::to_string(o.pair.received);
    ASSERT_TRUE(o.pair.receiverDone) << what;
    EXPECT_EQ(o.leftOpen, 0) << what;
    if (r.expect == WHOLE) {
      EXPECT_EQ(o.pair.sent, 0) << what;
    }
    if (r.expect <= COMPLETE) {
      EXPECT_EQ(o.pair.received, STEP_COMPLETE) << what;
    }
    if (r.expect == FAILS) {
      EXPECT_NE(o.pair.received, STEP_COMPLETE) << what;
      EXPECT_NE(o.pair.sent, 0) << what;
    }
    if (o.pair.received == STEP_COMPLETE) {
      ++completed;
      EXPECT_TRUE(o.intact) << what;
    } else {
      EXPECT_LT(o.pair.received, 0) << what;
      EXPECT_NE(transferErrorText(o.pair.received)[0], 0) << what;
    }
  }
  // Retries carry most runs through (each row of four runs: three).
  if (r.expect == MOSTLY) {
    EXPECT_GE(completed * 10, static_cast<int>(runs) * 7);
  }
}

INSTANTIATE_TEST_SUITE_P(Lines, Pair, ::testing::ValuesIn(rows()), [](const ::testing::TestParamInfo<Row>& i) {
  std::string n;
  for (char c : i.param.name) n += isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return n;
});
}  // namespace
