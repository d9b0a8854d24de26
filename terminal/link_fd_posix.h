// Host link over a POSIX file descriptor: a socketpair, a pseudo-terminal or a
// TCP socket. The descriptor is made non-blocking and owned by the link.
#pragma once

// Attaches fd as the program's link. isSocket selects the socket contract
// (write returns 0 on success). Returns 0, or negative when fd is invalid.
int linkAttachFd(int fd, bool isSocket);
// The descriptor of the attached link, or -1.
int linkFd();
// The serial settings of a terminal descriptor (a pseudo-terminal standing
// for a serial port); nothing when fd is no terminal. The transfer format
// keeps the line's own size, parity, stop bits and bit stripping to put back.
void fdSetSoftwareFlow(int fd, bool input, bool output);
void fdSetTransferFormat(int fd, bool on);
