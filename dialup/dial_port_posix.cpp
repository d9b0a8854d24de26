// The dialing's port on the host: the terminal device standing for the COM
// port (serial_connection_posix.h), attached as the link.
#include "dialup/dial_port.h"
#include "dialup/serial_connection_posix.h"
#include "terminal/link.h"

namespace {
bool open_ = false;
}

int dialPortOpen(const LineSettings& line) {
  if (serialPosixAttach(line.portIndex) < 0) return -1;
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
