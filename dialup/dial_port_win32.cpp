// The dialing's port on Win32: the session's COM port.
#include <windows.h>

#include "dialup/dial_port.h"
#include "dialup/serial_port_win32.h"
#include "terminal/link.h"

int dialPortOpen(const LineSettings& line) { return serialOpenSession(line); }

void dialPortClose() {
  if (!serialSessionOpen()) return;
  linkPurge(0);
  linkPurge(1);
  serialCloseSession();
}

bool dialPortIsOpen() { return serialSessionOpen(); }

// A port without modem lines (a pseudo-terminal under Wine) refuses these.
void dialPortLowerLines() {
  HANDLE port = serialPortHandle();
  if (port == INVALID_HANDLE_VALUE) return;
  EscapeCommFunction(port, CLRDTR);
  EscapeCommFunction(port, CLRRTS);
}
