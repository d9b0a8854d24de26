// The serial settings a transfer takes and gives back, on a pseudo-terminal
// standing for the serial port (tools/xfer on its slave side): XON/XOFF one
// way while the transfer runs (a receiver may send XOFF, a sender obeys it),
// the session's own setting afterwards. A pseudo-terminal refuses 7 data bits
// and parity, so the 8-N-1 switch needs a real port; its code shares this path.
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/support/file_text.h"
#include "tests/support/peers.h"

namespace {
// IXOFF (we may send XOFF) and IXON (we obey XOFF) on the line; the master
// reads the slave's settings.
std::string flowOf(int fd) {
  termios t{};
  tcgetattr(fd, &t);
  return std::string((t.c_iflag & IXOFF) ? "IXOFF" : "-") + ((t.c_iflag & IXON) ? " IXON" : " -");
}
}  // namespace

TEST(TransferLineSettings, XonXoffOneWayDuringTheTransferAndTheSessionsAfter) {
  std::string dir = freshBuildDir("transfer-line");
  writeFile(dir + "/f", "some data");
  for (bool sending : {false, true}) {
    for (bool sessionFlow : {false, true}) {
      std::string what = std::string(sending ? "send" : "receive") + (sessionFlow ? ", session XON/XOFF" : "");
      std::vector<std::string> args = {buildPath("tools/xfer"), sending ? "send" : "receive", "--protocol",
                                       "xmodem-crc"};
      if (sending) args.push_back(dir + "/f");
      else args.insert(args.end(), {"--dir", dir, "got"});
      int master = -1;
      PeerGuard tool(peerStartOnPty(args, &master, sessionFlow ? IXON | IXOFF : 0));
      ASSERT_GT(tool.pid, 0);
      std::string during = sending ? "- IXON" : "IXOFF -", after = sessionFlow ? "IXOFF IXON" : "- -";
      for (int i = 0; i < 500 && flowOf(master) != during; ++i) usleep(10000);
      EXPECT_EQ(flowOf(master), during) << what << ": not one-way during the transfer";
      // Three CAN end either side; the settings are given back before it exits.
      EXPECT_EQ(write(master, "\x18\x18\x18", 3), 3);
      for (int i = 0; i < 1000 && !peerExited(tool.pid); ++i) usleep(10000);
      EXPECT_TRUE(peerExited(tool.pid)) << what;
      EXPECT_EQ(flowOf(master), after) << what << ": not given back";
      close(master);
    }
  }
}
