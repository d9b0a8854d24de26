// The platform's socket under the socket link, one implementation per
// platform (netlink_win32.cpp, netlink_posix.cpp). Only net_connection.cpp
// calls these; the link contract on top of them is the same everywhere.
#pragma once
#include <cstdint>

// Bytes received (> 0), 0 when nothing waits, LINK_LOST when the peer closed
// or the connection broke.
int socketReceive(uint8_t* buffer, int size);
// Bytes sent (>= 0), or the negated NetError of the failure.
int socketSend(const uint8_t* bytes, int length);
// Waits a little for room to send, keeping the program responsive. Returns 1
// when the socket is writable now, 0 when not yet (the platform may report it
// later through netSocketWritable), -1 when the connection broke meanwhile.
int socketWaitWritable();
// Closes the socket itself.
void socketClose();
