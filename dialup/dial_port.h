// The port the dialing uses: the session's serial port, attached as the link.
// Link-time functions: the COM port on Win32, a terminal device on the host.
#pragma once
#include "shell/line_settings.h"

// Opens the port with the line settings and attaches it as the link: 0, or
// -1 after the port's own message.
int dialPortOpen(const LineSettings& line);
// Purges both directions, lowers DTR and RTS and closes the port.
void dialPortClose();
bool dialPortIsOpen();
// Lowers DTR and RTS (a port without modem lines ignores it).
void dialPortLowerLines();
