// The dialing's port on the host: the terminal device standing for the COM
// port (serial_connection_posix.h), attached as the link.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "dialup/dial_port.h"
#include "dialup/serial_connection_posix.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "terminal/link.h"
#include "terminal/link_fd_posix.h"

namespace {
bool open_ = false;
}

int dialPortOpen(const LineSettings& line) {
  const char* path = serialPosixDevice(line.portIndex);
  int fd = path[0] ? ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK) : -1;
  if (fd < 0) {
    messageBeep();
    messageBox(TXT_DEVICE_OPEN_ERROR, nullptr, MSG_OK | MSG_ICONSTOP);
    return -1;
  }
  termios t{};
  if (tcgetattr(fd, &t) == 0) {
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
  }
  linkAttachFd(fd, false);
  open_ = true;
  return 0;
}

void dialPortClose() {
  if (!open_) return;
  open_ = false;
  linkPurge(0);
  linkClose();
}

bool dialPortIsOpen() { return open_; }

// A pseudo-terminal has no modem lines.
void dialPortLowerLines() {}
