// Our engines over a Telnet connection in binary mode to a loopback host that
// runs lrzsz: 0xFF travels doubled both ways and a Telnet command in the
// stream is not data.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "terminal/link.h"
#include "terminal/options.h"
#include "shell/pump_posix.h"
#include "terminal/link_fd_posix.h"
#include "tests/support/peers.h"
#include "tests/support/file_text.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"

namespace {
// Mostly 0xFF, with CR, NUL and the protocol's control bytes among them.
std::string ffData(size_t size) {
  std::string d(size, '\xFF');
  const char mix[] = {'\r', '\0', '\n', 0x18, 0x04, 0x01, 0x11, 0x13};
  for (size_t i = 0; i < size; i += 5) d[i] = mix[(i / 5) % sizeof mix];
  return d;
}

struct Host {
  pid_t pid = -1;
  int fd = -1;
};
// Starts the Telnet host with command in dir and connects our link to it.
Host connectHost(const std::string& dir, const std::vector<std::string>& command) {
  Host h;
  int port = freeTcpPort();
  std::vector<std::string> argv = {"/usr/bin/python3", sourcePath("tests/support/telnet_binary_host.py"),
                                   std::to_string(port), dir};
  argv.insert(argv.end(), command.begin(), command.end());
  h.pid = peerStart(argv, "telnet-transfer");
  if (h.pid < 0 || !waitListening(port, 5000)) return h;
  h.fd = tcpConnect(port);
  if (h.fd >= 0) linkAttachFd(h.fd, true);
  return h;
}

TransferState& begin(int protocol) {
  clockUseRealTime();
  terminalOptions.telnet = true;
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = protocol;
  TransferState& s = transferState();
  transferBegin(s, settings);
  return s;
}

void finish(Host& h) {
  terminalOptions.telnet = false;
  linkClose();
  peerStop(h.pid);
}
}  // namespace

TEST(TelnetTransfer, ReceiveFromSbAndSxOverBinaryTelnet) {
  struct Case {
    int protocol;
    std::vector<std::string> peer;
    size_t size;
  };
  const Case cases[] = {
      {PROTOCOL_YMODEM, {"sb", "-q", "ff.bin"}, 300000},
      {PROTOCOL_XMODEM_1K, {"sx", "-kq", "ff.bin"}, 3000},
  };
  for (const Case& c : cases) {
    std::string dir = buildPath("telnet-transfer/receive-" + std::to_string(c.protocol));
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/down'").c_str());
    std::string data = ffData(c.size);
    std::ofstream(dir + "/ff.bin", std::ios::binary) << data;
    Host h = connectHost(dir, c.peer);
    ASSERT_GE(h.fd, 0);
    TransferState& s = begin(c.protocol);
    std::snprintf(s.settings.downloadDir, sizeof s.settings.downloadDir, "%s/down", dir.c_str());
    std::snprintf(s.localPath, sizeof s.localPath, "%s/down/ff.bin", dir.c_str());
    fileCreate(s.localPath);
    int r = receiveBegin();
    if (r >= 0) r = receiveRun();
    finish(h);
    EXPECT_EQ(r, STEP_COMPLETE) << protocolName(c.protocol) << " " << s.endCode;
    std::string got = readFile(dir + "/down/ff.bin");
    EXPECT_EQ(got.substr(0, data.size()), data) << protocolName(c.protocol);
    EXPECT_EQ(got.find_first_not_of('\x1A', data.size()), std::string::npos);
  }
}

TEST(TelnetTransfer, SendToRbAndRxOverBinaryTelnet) {
  struct Case {
    int protocol;
    std::vector<std::string> peer;
  };
  const Case cases[] = {
      {PROTOCOL_YMODEM, {"rb", "-q"}},
      {PROTOCOL_XMODEM_1K, {"rx", "-cq", "ff.bin"}},
  };
  for (const Case& c : cases) {
    std::string dir = buildPath("telnet-transfer/send-" + std::to_string(c.protocol));
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/up'").c_str());
    std::string data = ffData(5000);
    std::ofstream(dir + "/ff.bin", std::ios::binary) << data;
    Host h = connectHost(dir + "/up", c.peer);
    ASSERT_GE(h.fd, 0);
    TransferState& s = begin(c.protocol);
    batchAdd(s.batch, (dir + "/ff.bin").c_str());
    std::snprintf(s.localPath, sizeof s.localPath, "%s/ff.bin", dir.c_str());
    int r = protocolSend(c.protocol);
    // The host ends when the peer does: wait for it before reading the file.
    for (int i = 0; i < 500 && !peerExited(h.pid); ++i) usleep(10000);
    finish(h);
    EXPECT_EQ(r, 0) << protocolName(c.protocol);
    std::string got = readFile(dir + "/up/ff.bin");
    EXPECT_EQ(got.substr(0, data.size()), data) << protocolName(c.protocol);
    EXPECT_EQ(got.find_first_not_of('\x1A', data.size()), std::string::npos);
  }
}
