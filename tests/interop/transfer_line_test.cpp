// The serial settings a transfer takes and gives back, on a pseudo-terminal
// standing for the serial port (tools/xfer on its slave side): XON/XOFF one
// way while the transfer runs (a receiver may send XOFF, a sender obeys it),
// the session's own setting afterwards. A pseudo-terminal refuses 7 data bits
// and parity, so the 8-N-1 switch needs a real port; its code shares this path.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/peers.h"

namespace {
struct Flow {
  bool input, output;  // IXOFF (we may send XOFF), IXON (we obey XOFF)
  bool operator==(const Flow& o) const { return input == o.input && output == o.output; }
};

Flow flowOf(int fd) {
  termios t{};
  tcgetattr(fd, &t);
  return Flow{(t.c_iflag & IXOFF) != 0, (t.c_iflag & IXON) != 0};
}

// Polls the line's settings until they read `want` (5 s at most).
bool settles(int fd, Flow want) {
  for (int i = 0; i < 500; ++i) {
    if (flowOf(fd) == want) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Waits for the process to end (10 s at most, then it is killed).
bool ends(pid_t pid) {
  for (int i = 0; i < 1000; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return false;
}
}  // namespace

TEST(TransferLineSettings, XonXoffOneWayDuringTheTransferAndTheSessionsAfter) {
  std::string dir = buildPath("transfer-line");
  std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
  std::ofstream(dir + "/f") << "some data";
  for (bool sending : {false, true}) {
    for (bool sessionFlow : {false, true}) {
      std::string what = std::string(sending ? "send" : "receive") + (sessionFlow ? ", session XON/XOFF" : "");
      int master = posix_openpt(O_RDWR | O_NOCTTY);
      ASSERT_GE(master, 0);
      ASSERT_EQ(grantpt(master), 0);
      ASSERT_EQ(unlockpt(master), 0);
      int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
      ASSERT_GE(slave, 0);
      termios t{};
      tcgetattr(slave, &t);
      cfmakeraw(&t);
      if (sessionFlow) t.c_iflag |= IXON | IXOFF;
      tcsetattr(slave, TCSANOW, &t);
      std::string xfer = buildPath("tools/xfer");
      std::vector<std::string> args = {xfer, sending ? "send" : "receive", "--protocol", "xmodem-crc"};
      if (sending) args.push_back(dir + "/f");
      else args.insert(args.end(), {"--dir", dir, "got"});
      pid_t pid = fork();
      if (pid == 0) {
        dup2(slave, 0);
        dup2(slave, 1);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        close(master);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
      }
      ASSERT_GT(pid, 0);
      EXPECT_TRUE(settles(slave, Flow{!sending, sending})) << what << ": not one-way during the transfer";
      // Three CAN end either side.
      const char cancel[3] = {0x18, 0x18, 0x18};
      EXPECT_EQ(write(master, cancel, 3), 3);
      EXPECT_TRUE(ends(pid)) << what;
      EXPECT_TRUE(flowOf(slave) == (Flow{sessionFlow, sessionFlow})) << what << ": not given back";
      close(slave);
      close(master);
    }
  }
}
