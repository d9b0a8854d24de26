// Our engines over a Telnet connection: to a loopback host in binary mode that
// runs lrzsz, and through inetutils telnetd's shell to gkermit (the host's
// line ends and option talk around the packets). 0xFF travels doubled both
// ways and a Telnet command in the stream is not data.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/pump_posix.h"
#include "telnet/netlink_posix.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/terminal_state.h"
#include "tests/support/file_text.h"
#include "tests/support/peers.h"
#include "tests/support/telnet_peers.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"
#include "transfer/transfer_view.h"

namespace {
// Mostly 0xFF, with CR, NUL and the protocol's control bytes among them.
std::string ffData(size_t size) {
  std::string d(size, '\xFF');
  const char mix[] = {'\r', '\0', '\n', 0x18, 0x04, 0x01, 0x11, 0x13};
  for (size_t i = 0; i < size; i += 5) d[i] = mix[(i / 5) % sizeof mix];
  return d;
}

struct Row {
  const char* name;
  int protocol;
  bool weSend;
  bool telnetd;  // through inetutils telnetd's shell, else the binary host
  std::string peer;  // run in the peer's folder; a sender (and XMODEM) gets the file names
  std::vector<size_t> sizes;
};
void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

// Logs in to telnetd and starts the peer from its shell, as a user of our
// Telnet terminal would before pressing Send or Receive.
void startThroughShell(int port, const std::string& command) {
  ASSERT_EQ(telnetOpenVt100(port, "vt100"), 0);
  std::string seen;
  ASSERT_TRUE(telnetPumpUntil(&seen, "# ", 5000)) << seen;
  std::string line = command + " 2>/dev/null\r";
  linkWrite(reinterpret_cast<const uint8_t*>(line.data()), int(line.size()));
  ASSERT_TRUE(telnetPumpUntil(&seen, "2>/dev/null", 5000, seen.size())) << seen;
}

class TelnetTransfer : public ::testing::TestWithParam<Row> {};

// A command byte taken as data shows only as a retry: the protocols recover.
int retriesShown = 0;
void countRetries(int, const char* text) { retriesShown += std::string(text) == "Retrying"; }

TEST_P(TelnetTransfer, FilesArriveWhole) {
  const Row& c = GetParam();
  std::string dir = freshBuildDir(std::string("telnet-transfer/") + c.name, {"from", "to"}), names;
  std::vector<std::string> files;
  for (size_t size : c.sizes) {
    // Our Kermit sender sends names in capitals; rb turns such names into small letters.
    files.push_back(c.protocol == PROTOCOL_KERMIT ? "F" + std::to_string(size) + ".BIN" : "f" + std::to_string(size) + ".bin");
    writeFile(dir + "/from/" + files.back(), ffData(size));
    names += " " + files.back();
  }
  bool xmodem = protocolIsXmodem(c.protocol);
  std::string peer = c.peer + (!c.weSend || xmodem ? names : "");
  std::string peerDir = dir + (c.weSend ? "/to" : "/from");
  int port = freeTcpPort();
  PeerGuard host(c.telnetd ? startInetutilsTelnetd(port)
                           : peerStart({"/usr/bin/python3", sourcePath("tests/support/telnet_binary_host.py"),
                                        std::to_string(port), peerDir, "sh", "-c", peer},
                                       "telnet-transfer"));
  // Python starts slowly on a busy machine.
  ASSERT_TRUE(waitListening(port, 20000));
  clockUseRealTime();
  if (c.telnetd) {
    ASSERT_NO_FATAL_FAILURE(startThroughShell(port, "cd " + peerDir + " && exec " + peer));
  } else {
    ASSERT_EQ(netAdoptSocket(tcpConnect(port), false), 0);
    telnetAttachTerminal();
  }
  netTransferRunning = true;  // as the program sets it while a transfer owns the line
  TransferState& s = transferState();
  retriesShown = 0;
  transferView.setText = countRetries;
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = c.protocol;
  settings.kermitPacketSize = 4000;
  settings.kermitEightbit = false;
  transferBegin(s, settings);
  s.active = true;
  int r;
  if (c.weSend) {
    for (const std::string& f : files) batchAdd(s.batch, (dir + "/from/" + f).c_str());
    std::snprintf(s.localPath, sizeof s.localPath, "%s/from/%s", dir.c_str(), files[0].c_str());
    r = protocolSend(c.protocol);
    EXPECT_EQ(r, 0) << c.name;
    // The binary host ends when the peer does: wait for it before reading the file.
    for (int i = 0; i < 500 && !c.telnetd && !peerExited(host.pid); ++i) usleep(10000);
  } else {
    std::snprintf(s.settings.downloadDir, sizeof s.settings.downloadDir, "%s/to", dir.c_str());
    std::snprintf(s.localPath, sizeof s.localPath, "%s/to/%s", dir.c_str(), files[0].c_str());
    if (xmodem) fileCreate(s.localPath);
    r = receiveBegin();
    if (r >= 0) r = receiveRun();
    EXPECT_EQ(r, STEP_COMPLETE) << c.name << " " << s.endCode;
  }
  transferViewReset();
  // The binary host's stream is clean but for its commands (telnetd's shell
  // may echo before the first packet).
  if (!c.telnetd) EXPECT_EQ(retriesShown, 0) << c.name;
  netTransferRunning = false;
  terminalOptions.telnet = false;
  netDisconnectPosix();
  clockUseManual();
  for (const std::string& f : files) {
    std::string sent = readFile(dir + "/from/" + f), got = readFile(dir + "/to/" + f);
    // Our batch senders skip an empty file.
    if (!xmodem && c.weSend && sent.empty()) {
      EXPECT_NE(access((dir + "/to/" + f).c_str(), F_OK), 0) << c.name << " " << f << " sent though empty";
      continue;
    }
    if (!xmodem) {
      EXPECT_TRUE(access((dir + "/to/" + f).c_str(), F_OK) == 0 && got == sent) << c.name << " " << f;
      continue;
    }
    EXPECT_EQ(got.substr(0, sent.size()), sent) << c.name;
    EXPECT_EQ(got.find_first_not_of('\x1A', sent.size()), std::string::npos) << c.name;
  }
}

const std::vector<size_t> kKermitSizes = {0, 1, 94, 95, 1023, 1024, 1025, 300 * 1024};
const Row kRows[] = {
    {"ymodem_from_sb", PROTOCOL_YMODEM, false, false, "sb -q", {300000}},
    {"xmodem_1k_from_sx", PROTOCOL_XMODEM_1K, false, false, "sx -kq", {3000}},
    {"ymodem_to_rb", PROTOCOL_YMODEM, true, false, "rb -q", {5000}},
    {"xmodem_1k_to_rx", PROTOCOL_XMODEM_1K, true, false, "rx -cq", {5000}},
    {"kermit_to_gkermit", PROTOCOL_KERMIT, true, true, "gkermit -q -i -P -e 4000 -r", kKermitSizes},
    {"kermit_from_gkermit", PROTOCOL_KERMIT, false, true, "gkermit -q -i -P -e 4000 -s", kKermitSizes},
};
INSTANTIATE_TEST_SUITE_P(Hosts, TelnetTransfer, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& i) { return std::string(i.param.name); });
}  // namespace
