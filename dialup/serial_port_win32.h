// The session's serial line: one COM port per process, opened for overlapped
// I/O with a phone entry's line settings and attached as the program's link.
#pragma once
#include <windows.h>

#include "shell/line_settings.h"

// Opens COM(portIndex + 1) with the line's speed, format and flow control and
// attaches it as the link. A session port already open is refused with "You
// must hang up first"; a port that cannot be opened gets "Device open error".
// Returns 0, or -1 after the message. Once open, a port whose status query
// fails (unplugged, or the far end of a pseudo-terminal gone) makes the
// link's reads and polls return LINK_LOST, once what it received before has
// been read, until it is closed.
int serialOpenSession(const LineSettings& line);
// Drops DTR and RTS, clears the event mask, stops the watcher, closes the port
// and detaches the link. Nothing when no port is open.
void serialCloseSession();
bool serialSessionOpen();
// Whether the session's line carries 8 data bits (received bytes keep bit 7).
bool serialEightBitLine();
// Applies the line's data bits, parity and stop bits to the open port and
// makes them the session's format. Returns 0, or -1 when no port is open or
// the driver refused it.
int serialApplyFormat(const LineSettings& line);
// Holds the line in the break state for ms milliseconds while window messages
// (and with them received input) keep being served.
void serialBreak(int ms);
// The open port for the watcher (INVALID_HANDLE_VALUE when none).
HANDLE serialPortHandle();
