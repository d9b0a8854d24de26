// Host link over a POSIX file descriptor: a socketpair, a pseudo-terminal or a
// TCP socket. The descriptor is made non-blocking and owned by the link.
#pragma once

// Attaches fd as the program's link. isSocket selects the socket contract
// (write returns 0 on success). Returns 0, or negative when fd is invalid.
int linkAttachFd(int fd, bool isSocket);
// The descriptor of the attached link, or -1.
int linkFd();
