// Our transfer engines (tools/xfer) against lrzsz, gkermit and C-Kermit
// through socat (a socketpair on our side; C-Kermit gets a pty as its
// controlling terminal): every protocol both ways, files of every size around
// the block and packet boundaries, 0xFF and the control bytes included.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/file_text.h"
#include "tests/support/peers.h"

namespace {
// Around the XMODEM blocks and the short Kermit packets; the last wraps the block number.
const std::vector<int> kSizes = {0, 1, 94, 95, 127, 128, 129, 1023, 1024, 1025, 300000};

struct Row {
  std::string name;
  bool weSend;
  std::string ours;  // our options
  std::string peer;  // the peer's command; a sender gets the file names
  size_t pad = 0;    // XMODEM: the receiver fills the last block up to this (one file a run)
  std::string kermitScript = "";  // C-Kermit's commands ($FILES: the names)
};
void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

// dir (fresh, with "in" and "out") gets in "in" the files of the given sizes; returns their names: in capitals for Kermit, whose sender sends names
// so, else in small letters, as rb turns a name in capitals into.
std::vector<std::string> prepare(const std::string& dir, const std::vector<int>& sizes, std::vector<std::string>* datas,
                                 int salt, bool capitals = false) {
  std::vector<std::string> names;
  for (size_t i = 0; i < sizes.size(); ++i) {
    names.push_back(capitals ? "F" + std::to_string(sizes[i]) + ".BIN" : "f" + std::to_string(sizes[i]) + ".bin");
    datas->push_back(pseudoRandom(static_cast<size_t>(sizes[i]), 0x9E3779B9u * static_cast<uint32_t>(salt + i + 1)));
    writeFile(dir + "/in/" + names.back(), datas->back());
  }
  return names;
}

// Runs our xfer against the peer, the sender in "in", the receiver in "out",
// and returns our exit status from the "status" file it leaves (-1 without
// one): socat's own is not ours, as a streaming sender may leave before our
// last ACK. socat closes the other side half a second after one side ends by
// default; on a busy machine that cut our tool off before it wrote its
// status, so it gets five.
int transfer(const std::string& dir, const Row& r, const std::string& names) {
  std::remove((dir + "/status").c_str());
  std::string ours = buildPath("tools/xfer") + (r.weSend ? " send " : " receive --dir . ") + r.ours +
                     (r.weSend || r.pad ? names : "") + " 2>../xfer.err; echo \\$? >../status";
  std::string peer = r.peer + ((!r.weSend || r.pad) && r.kermitScript.empty() ? names : "");
  std::string pty = r.kermitScript.empty() ? "" : ",pty,setsid,ctty,raw,echo=0";
  std::string cmd = "cd '" + dir + "' && timeout 120 socat -t 5 SYSTEM:\"cd " + (r.weSend ? "in" : "out") +
                    " && " + ours + "\" SYSTEM:\"cd " + (r.weSend ? "out" : "in") + " && exec " + peer + "\"" +
                    pty + " 2>>socat.log";
  std::system(cmd.c_str());
  // socat leaves at once when our last answer meets a sender that has gone
  // (EPIPE), before our side has written its status: wait for it, bounded.
  std::string status = readFile(dir + "/status");
  for (int i = 0; i < 100 && status.empty(); ++i) {
    usleep(100 * 1000);
    status = readFile(dir + "/status");
  }
  return status.empty() ? -1 : std::atoi(status.c_str());
}

std::vector<Row> rows() {
  std::vector<Row> t = {
      {"xmodem_receive", false, "--protocol xmodem", "sx -q", 128},
      {"xmodem_send", true, "--protocol xmodem", "rx -q", 128},
      {"xmodem_crc_receive", false, "--protocol xmodem-crc", "sx -q", 128},
      {"xmodem_crc_send", true, "--protocol xmodem-crc", "rx -q -c", 128},
      {"xmodem_1k_receive", false, "--protocol xmodem-1k", "sx -q -k", 128},
      {"xmodem_1k_send", true, "--protocol xmodem-1k", "rx -q -c", 1024},
      {"ymodem_receive", false, "--protocol ymodem", "sb -q"},
      {"ymodem_send", true, "--protocol ymodem", "rb -q"},
      {"ymodem_g_receive", false, "--protocol ymodem-g", "sb -q"},
      {"zmodem_receive", false, "--protocol zmodem", "sz -q"},
      {"zmodem_receive_sz_e", false, "--protocol zmodem", "sz -q -e"},
      {"zmodem_receive_our_e", false, "--protocol zmodem --escape-control", "sz -q"},
      {"zmodem_receive_segmented", false, "--protocol zmodem --segmented", "sz -q"},
      {"zmodem_receive_sz_8", false, "--protocol zmodem", "sz -q -8"},
      {"zmodem_send", true, "--protocol zmodem", "rz -q"},
      {"zmodem_send_rz_e", true, "--protocol zmodem", "rz -q -e"},
      {"zmodem_send_our_e", true, "--protocol zmodem --escape-control", "rz -q"},
  };
  for (int size : {94, 1024, 4000, 9000}) {
    for (bool eightBit : {false, true}) {
      std::string ours = " --protocol kermit --packet-size " + std::to_string(size) + (eightBit ? " --eight-bit" : "");
      std::string gkermit = "gkermit -q -i -P -e " + std::to_string(size);
      std::string name = "gkermit_" + std::to_string(size) + (eightBit ? "_8bit" : "");
      t.push_back({name + "_send", true, ours, gkermit + " -r"});
      t.push_back({name + "_receive", false, ours, gkermit + " -s"});
    }
  }
  // C-Kermit picks the block check: each of the three, with its long packets.
  for (int check = 1; check <= 3; check++) {
    std::string set = "set block-check " + std::to_string(check) +
                      "\nset file names literal\nset receive packet-length 4000\nset send packet-length 4000\n";
    std::string name = "ckermit_check" + std::to_string(check);
    t.push_back({name + "_send", true, "--protocol kermit --packet-size 4000", "kermit ../peer.ksc -Y -B", 0,
                 set + "receive\n"});
    t.push_back({name + "_receive", false, "--protocol kermit --packet-size 4000", "kermit ../peer.ksc -Y -B", 0,
                 set + "msend$FILES\n"});
  }
  return t;
}

class PeerTransfer : public ::testing::TestWithParam<Row> {};

TEST_P(PeerTransfer, EveryFileArrivesWhole) {
  const Row& r = GetParam();
  std::string dir = freshBuildDir("transfer-interop/" + r.name, {"in", "out"}), list;
  std::vector<std::string> datas;
  std::vector<std::string> names = prepare(dir, kSizes, &datas, static_cast<int>(r.name.size()),
                                               r.ours.find("kermit") != std::string::npos);
  for (const std::string& n : names) list += " " + n;
  if (!r.kermitScript.empty()) {
    std::string script = r.kermitScript;
    if (script.find("$FILES") != std::string::npos) script.replace(script.find("$FILES"), 6, list);
    std::ofstream(dir + "/peer.ksc") << script << "exit\n";
  }
  if (!r.pad) {
    EXPECT_EQ(transfer(dir, r, list), 0) << readFile(dir + "/xfer.err");
  }
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& sent = datas[i];
    if (r.pad) {
      EXPECT_EQ(transfer(dir, r, " " + names[i]), 0) << names[i] << ": " << readFile(dir + "/xfer.err");
    }
    std::string got = readFile(dir + "/out/" + names[i]);
    // Our batch senders skip an empty file; lrzsz and Kermit send it and we take it.
    if (r.weSend && sent.empty() && !r.pad) {
      EXPECT_NE(access((dir + "/out/" + names[i]).c_str(), F_OK), 0) << names[i] << " sent though empty";
      continue;
    }
    if (!r.pad) {
      EXPECT_TRUE(access((dir + "/out/" + names[i]).c_str(), F_OK) == 0 && got == sent) << names[i];
      continue;
    }
    // What arrives is the file and 0x1A up to a whole block of 128 (or, from our 1K sender, 1024).
    ASSERT_GE(got.size(), sent.size()) << names[i];
    EXPECT_TRUE(got.compare(0, sent.size(), sent) == 0) << names[i];
    EXPECT_EQ(got.size() % 128, 0u) << names[i];
    EXPECT_LT(got.size() - sent.size(), r.pad) << names[i];
    EXPECT_EQ(got.find_first_not_of('\x1A', sent.size()), std::string::npos) << names[i];
  }
}

INSTANTIATE_TEST_SUITE_P(Peers, PeerTransfer, ::testing::ValuesIn(rows()),
                         [](const ::testing::TestParamInfo<Row>& i) { return i.param.name; });

// ZMODEM's skip-if-exists skips only a file of the same size. Crash recovery
// resumes over a partial file seeded from another file, so that a resume can
// be told from a full re-send: the result is that prefix and the rest.
TEST(PeerTransferZmodem, SkipIfExistsAndCrashRecoveryBothWays) {
  std::string dir = freshBuildDir("transfer-interop/zmodem-skip", {"in", "out"});
  std::vector<std::string> datas;
  std::string a = pseudoRandom(5000, 1), c = pseudoRandom(5000, 2), oldA = pseudoRandom(5000, 3);
  writeFile(dir + "/in/A", a);
  writeFile(dir + "/in/C", c);
  writeFile(dir + "/out/A", oldA);
  writeFile(dir + "/out/C", pseudoRandom(4000, 4));
  EXPECT_EQ(transfer(dir, {"skip", false, "--protocol zmodem --skip-existing", "sz -q A C"}, ""), 0);
  EXPECT_TRUE(readFile(dir + "/out/A") == oldA) << "a file of the same size was not skipped";
  EXPECT_TRUE(readFile(dir + "/out/C") == c) << "a file of another size was not received again";

  for (bool weSend : {false, true}) {
    std::string what = weSend ? "send" : "receive";
    dir = freshBuildDir("transfer-interop/zmodem-recover-" + what, {"in", "out"});
    datas.clear();
    prepare(dir, {300000}, &datas, 5);
    std::string seed = pseudoRandom(100000, 6);
    writeFile(dir + "/out/f300000.bin", seed);
    Row r = weSend ? Row{"", true, "--protocol zmodem", "rz -q -r"}
                   : Row{"", false, "--protocol zmodem --crash-recover", "sz -q -r"};
    EXPECT_EQ(transfer(dir, r, " f300000.bin"), 0) << what;
    std::string got = readFile(dir + "/out/f300000.bin");
    ASSERT_EQ(got.size(), datas[0].size()) << what;
    // rz -r resumes at a block boundary at or below the partial size.
    size_t resume = 0;
    while (resume < seed.size() && got[resume] == seed[resume]) ++resume;
    EXPECT_GE(resume, weSend ? 90000u : 100000u) << what << ": sent again from the start";
    EXPECT_TRUE(got.compare(resume, std::string::npos, datas[0], resume, std::string::npos) == 0) << what;
  }
}
}  // namespace
