// Our Kermit sender against our Kermit receiver in one process, through a line
// that drops, flips, duplicates and stalls bytes: every file arrives
// byte-identical, or the transfer ends with an error code; never is wrong data
// reported as complete.
#include <filesystem>

#include "tests/support/transfer_pair.h"
#include "tests/transfer/transfer_fixture.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"

namespace fs = std::filesystem;

namespace {

struct Pair {
  std::string from, to;
  TransferState tx{}, rx{};
  std::vector<std::string> files;

  Pair(const std::string& name, int packetSize, bool eightBit, const std::vector<size_t>& sizes) {
    clockUseManual();
    std::string base = freshDir("kermit-pair-" + name);
    from = base + "/from";
    to = base + "/to";
    fs::create_directories(from);
    fs::create_directories(to);
    TransferSettings set = settingsFor(PROTOCOL_KERMIT);
    set.kermitPacketSize = packetSize;
    set.kermitEightbit = eightBit;
    transferBegin(tx, set);
    std::snprintf(set.downloadDir, sizeof set.downloadDir, "%s", to.c_str());
    transferBegin(rx, set);
    for (size_t i = 0; i < sizes.size(); i++) {
      files.push_back(pseudoRandom(sizes[i], unsigned(i + sizes[i])));
      std::string path = from + "/F" + std::to_string(i) + ".BIN";
      writeFile(path, files.back());
      batchAdd(tx.batch, path.c_str());
    }
  }
  int arrivedIntact() const {
    int n = 0;
    for (size_t i = 0; i < files.size(); i++)
      if (fs::exists(to + "/F" + std::to_string(i) + ".BIN") &&
          readFile(to + "/F" + std::to_string(i) + ".BIN") == files[i])
        n++;
    return n;
  }
};

}  // namespace

// Every packet size class, with and without eight-bit prefixing, over a
// clean line: lengths around the packet boundaries and all byte values.
TEST(KermitPair, BatchArrivesByteIdentical) {
  const std::vector<size_t> sizes = {0, 1, 94, 95, 1023, 1024, 1025, 300 * 1024};
  for (int packetSize : {94, 1024, 9024}) {
    for (bool eightBit : {false, true}) {
      SCOPED_TRACE(std::to_string(packetSize) + (eightBit ? " eight-bit" : ""));
      Pair p("clean" + std::to_string(packetSize) + std::to_string(eightBit), packetSize, eightBit, sizes);
      faultLineReset({}, {});
      PairOutcome o = runTransferPair(p.tx, p.rx);
      EXPECT_EQ(o.sent, 0);
      EXPECT_EQ(o.received, STEP_COMPLETE);
      EXPECT_EQ(p.arrivedIntact(), int(sizes.size()));
    }
  }
}

// Faults in both directions: lost and repeated acknowledgements, flipped and
// dropped bytes, stalls longer than the time-out. A transfer reported
// complete must hold exactly the sent bytes.
TEST(KermitPair, FaultyLineNeverCompletesWithWrongData) {
  struct Case {
    const char* name;
    FaultPlan toReceiver, toSender;
    bool mustSucceed;
  } cases[] = {
      {"drops", {11, 300, 0, 0, 0, 0, 0, 200}, {12, 3000, 0, 0, 0, 0, 0, 100}, true},
      {"flips", {21, 0, 300, 0, 0, 0, 0, 200}, {22, 0, 3000, 0, 0, 0, 0, 100}, true},
      {"duplicates", {31, 0, 0, 3000, 0, 0, 0, 200}, {32, 0, 0, 30000, 0, 0, 0, 100}, true},
      {"stalls", {41, 0, 0, 0, 30, 12000, 0, 200}, {42, 0, 0, 0, 300, 12000, 0, 100}, true},
      {"everything", {51, 2000, 2000, 2000, 50, 3000, 0, 0}, {52, 9000, 9000, 9000, 0, 0, 0, 0}, false},
  };
  for (const Case& c : cases) {
    for (int packetSize : {94, 4000}) {
      SCOPED_TRACE(std::string(c.name) + " " + std::to_string(packetSize));
      Pair p(std::string("faults") + c.name + std::to_string(packetSize), packetSize, true,
             {5000, 70000});
      p.tx.settings.maxErrors = p.rx.settings.maxErrors = 8;
      // Long packets meet about as many faults per packet at a fortieth of the rate.
      FaultPlan toReceiver = c.toReceiver;
      if (packetSize > 94) {
        toReceiver.dropPerMillion /= 40;
        toReceiver.flipPerMillion /= 40;
        toReceiver.duplicatePerMillion /= 40;
      }
      faultLineReset(toReceiver, c.toSender);
      PairOutcome o = runTransferPair(p.tx, p.rx);
      if (c.mustSucceed) {
        EXPECT_EQ(o.sent, 0);
        EXPECT_EQ(o.received, STEP_COMPLETE);
      }
      if (o.received == STEP_COMPLETE) {
        EXPECT_EQ(p.arrivedIntact(), 2);
      } else {
        EXPECT_LT(o.received, 0);
        EXPECT_NE(transferErrorText(o.received)[0], 0);
      }
    }
  }
}
