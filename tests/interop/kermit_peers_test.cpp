// Our Kermit against gkermit and C-Kermit: tools/xfer on one side of socat,
// the peer on the other (C-Kermit on a pty as its controlling terminal), and
// our Telnet connection to a loopback host that runs gkermit. Every file
// must arrive byte-identical in both directions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "shell/pump.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/link.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"
#include "shell/pump_posix.h"
#include "telnet/netlink_posix.h"
#include "tests/support/file_text.h"
#include "tests/support/peers.h"
#include "tests/support/telnet_peers.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_state.h"

namespace fs = std::filesystem;

namespace {

const std::vector<size_t> sizes = {0, 1, 94, 95, 1023, 1024, 1025, 300 * 1024};

// A folder of files named in capitals (our sender sends names in capitals),
// and a second folder that receives.
struct Work {
  std::string root, from, to;
  std::vector<std::string> names;
  explicit Work(const std::string& name) {
    root = buildPath("kermit-peers/" + name);
    fs::remove_all(root);
    from = root + "/from";
    to = root + "/to";
    fs::create_directories(from);
    fs::create_directories(to);
    std::mt19937 gen(unsigned(name.size()));
    for (size_t size : sizes) {
      names.push_back("K" + std::to_string(size) + ".BIN");
      std::ofstream f(from + "/" + names.back(), std::ios::binary);
      for (size_t i = 0; i < size; i++) f.put(char(gen()));
    }
  }
  std::string fileList() const {
    std::string list;
    for (const std::string& n : names) list += " " + n;
    return list;
  }
  // The names of the files that did not arrive intact.
  std::string broken() const {
    std::string bad;
    for (const std::string& n : names)
      if (!fs::exists(to + "/" + n) || readFile(to + "/" + n) != readFile(from + "/" + n)) bad += n + " ";
    return bad;
  }
  int xferStatus() const {
    std::ifstream f(root + "/rc");
    int rc = -1;
    f >> rc;
    return rc;
  }
};

std::string xfer() { return buildPath("tools/xfer"); }

int shell(const std::string& command) { return std::system(command.c_str()); }

// C-Kermit runs a command file with the pty as its controlling terminal; our
// xfer works on the other end of the pty.
int withCKermit(const Work& w, const std::string& commands, const std::string& ourSide) {
  std::string script = w.root + "/peer.ksc";
  std::ofstream(script) << commands << "exit \\v(status)\n";
  std::string tty = w.root + "/tty";
  pid_t peer = peerStart({"socat", "PTY,link=" + tty + ",raw,echo=0",
                          "SYSTEM:cd " + w.from + " && exec kermit " + script +
                              " -Y -B,pty,setsid,ctty,raw,echo=0"},
                         "ckermit");
  PeerGuard guard(peer);
  for (int i = 0; i < 250 && !fs::exists(tty); i++) usleep(20000);
  int rc = shell("cd " + w.from + " && timeout 120 " + ourSide + " <" + tty + " >" + tty + " 2>" + w.root +
                 "/err");
  for (int i = 0; i < 250 && !peerExited(peer); i++) usleep(20000);
  return rc;
}

}  // namespace

TEST(KermitPeers, GkermitBothDirections) {
  ASSERT_FALSE(findProgram("gkermit").empty());
  for (int size : {94, 1024, 4000, 9000}) {
    for (bool eightBit : {false, true}) {
      std::string ours = " --protocol kermit --packet-size " + std::to_string(size) + (eightBit ? " --eight-bit" : "");
      std::string gkermit = "gkermit -q -i -P -e " + std::to_string(size);
      Work up("gk-up-" + std::to_string(size) + std::to_string(eightBit));
      shell("timeout 120 socat SYSTEM:'cd " + up.from + " && " + xfer() + " send" + ours + up.fileList() +
            " 2>" + up.root + "/err; echo $? >" + up.root + "/rc' SYSTEM:'cd " + up.to + " && exec " + gkermit +
            " -r 2>/dev/null' 2>/dev/null");
      EXPECT_EQ(up.xferStatus(), 0) << "send" << ours;
      EXPECT_EQ(up.broken(), "") << "send" << ours;

      Work down("gk-down-" + std::to_string(size) + std::to_string(eightBit));
      down.to = down.root + "/to";
      shell("timeout 120 socat SYSTEM:'" + xfer() + " receive --dir " + down.to + ours + " 2>" + down.root +
            "/err; echo $? >" + down.root + "/rc' SYSTEM:'cd " + down.from + " && exec " + gkermit + " -s" +
            down.fileList() + " 2>/dev/null' 2>/dev/null");
      EXPECT_EQ(down.xferStatus(), 0) << "receive" << ours;
      EXPECT_EQ(down.broken(), "") << "receive" << ours;
    }
  }
}

// C-Kermit picks the block check: each of the three types, both directions,
// with its long packets.
TEST(KermitPeers, CKermitBlockChecksBothDirections) {
  ASSERT_FALSE(findProgram("kermit").empty());
  for (int check = 1; check <= 3; check++) {
    std::string common = "set block-check " + std::to_string(check) +
                         "\nset file names literal\nset receive packet-length 4000\nset send packet-length 4000\n";
    Work up("ck-up-" + std::to_string(check));
    int rc = withCKermit(up, common + "cd " + up.to + "\nreceive\n",
                         xfer() + " send --protocol kermit --packet-size 4000" + up.fileList());
    EXPECT_EQ(rc, 0) << "send, check " << check;
    EXPECT_EQ(up.broken(), "") << "send, check " << check;

    Work down("ck-down-" + std::to_string(check));
    rc = withCKermit(down, common + "msend" + down.fileList() + "\n",
                     xfer() + " receive --protocol kermit --packet-size 4000 --dir " + down.to);
    EXPECT_EQ(rc, 0) << "receive, check " << check;
    EXPECT_EQ(down.broken(), "") << "receive, check " << check;
  }
}

namespace {

// Logs in to a loopback Telnet host whose shell starts gkermit with args in
// folder, as a user of our Telnet terminal would before pressing Send or
// Receive.
void startGkermitOverTelnet(int port, const std::string& folder, const std::string& args) {
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  ASSERT_EQ(telnetConnectLoopback(port, "vt100"), 0);
  telnetAttachTerminal();
  telnetOnConnected();
  std::string seen;
  ASSERT_TRUE(telnetPumpUntil(&seen, "# ", 5000)) << seen;
  std::string command = "cd " + folder + " && exec gkermit -q -i -P " + args + " 2>/dev/null\r";
  linkWrite(reinterpret_cast<const uint8_t*>(command.data()), int(command.size()));
  ASSERT_TRUE(telnetPumpUntil(&seen, "2>/dev/null", 5000, seen.size())) << seen;
}

TransferState& kermitTransfer(int packetSize, bool eightBit) {
  TransferState& s = transferState();
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = PROTOCOL_KERMIT;
  settings.kermitPacketSize = packetSize;
  settings.kermitEightbit = eightBit;
  transferBegin(s, settings);
  s.active = true;
  return s;
}

}  // namespace

// The byte path of a Telnet connection: 0xFF doubled both ways, the host's
// line ends and option talk around the packets.
TEST(KermitPeers, GkermitBehindOurTelnetConnection) {
  ASSERT_FALSE(findProgram("gkermit").empty());
  int port = freeTcpPort();
  PeerGuard server(startInetutilsTelnetd(port));
  ASSERT_TRUE(waitListening(port, 5000));
  clockUseRealTime();

  Work up("telnet-up");
  ASSERT_NO_FATAL_FAILURE(startGkermitOverTelnet(port, up.to, "-e 4000 -r"));
  TransferState& tx = kermitTransfer(4000, false);
  for (const std::string& n : up.names) batchAdd(tx.batch, (up.from + "/" + n).c_str());
  EXPECT_EQ(protocolSend(PROTOCOL_KERMIT), 0);
  EXPECT_EQ(up.broken(), "");
  netDisconnectPosix();

  Work down("telnet-down");
  ASSERT_NO_FATAL_FAILURE(startGkermitOverTelnet(port, down.from, "-e 4000 -s" + down.fileList()));
  TransferState& rx = kermitTransfer(4000, false);
  std::snprintf(rx.settings.downloadDir, sizeof rx.settings.downloadDir, "%s", down.to.c_str());
  ASSERT_EQ(receiveBegin(), 0);
  EXPECT_EQ(receiveRun(), STEP_COMPLETE);
  EXPECT_EQ(down.broken(), "");
  netDisconnectPosix();
  clockUseManual();
}
