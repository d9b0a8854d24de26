// Transmit on a serial line: XON/XOFF is on while the text goes out and back
// to the line's own setting afterwards. A pseudo-terminal stands for the port.
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "terminal/display.h"
#include "terminal/link_fd_posix.h"
#include "tests/terminal/terminal_harness.h"

namespace {

int port = -1;
bool flowOn() {
  termios t{};
  tcgetattr(port, &t);
  return (t.c_iflag & IXON) && (t.c_iflag & IXOFF);
}

TEST(TransmitFlow, SerialLineGetsXonXoffForTheDuration) {
  for (int flow : {0, 2}) {
    harness::reset(4);
    int master = -1;
    ASSERT_EQ(openpty(&master, &port, nullptr, nullptr, nullptr), 0);
    termios t{};
    tcgetattr(port, &t);
    cfmakeraw(&t);
    if (flow >= 2) t.c_iflag |= IXON | IXOFF;
    tcsetattr(port, TCSANOW, &t);
    ASSERT_EQ(linkAttachFd(port, false), 0);
    TransmitOptions o;
    o.characterDelay = 1;
    o.flowControl = flow;
    static int waitsWithFlow;
    waitsWithFlow = 0;
    EXPECT_EQ(transmitText(reinterpret_cast<const uint8_t*>("ok\r"), 3, o, [](int) { waitsWithFlow += flowOn(); }), 3);
    EXPECT_EQ(waitsWithFlow, 3) << "flow control " << flow;
    EXPECT_EQ(flowOn(), flow >= 2) << "flow control " << flow;
    char got[8] = {};
    EXPECT_EQ(read(master, got, sizeof got), 3);
    EXPECT_STREQ(got, "ok\r");
    linkClose();
    close(master);
  }
}

}  // namespace
