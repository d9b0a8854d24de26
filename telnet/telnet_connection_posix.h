// The host's Telnet line: what the socket's read notification does in the
// program, for whoever drives the frame on the host.
#pragma once

// Waits up to waitMs for input, then one receive pass; a lost connection ends
// the session. Returns the pass's result (LINK_LOST once the line is gone).
int telnetPosixDrain(int waitMs);
