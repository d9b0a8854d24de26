#include "terminal/link_fd_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "terminal/link.h"

static int fdOfLink = -1;
static bool lost = false;

// Whether the descriptor reports the far side gone without data waiting.
static bool peerGone(short revents) {
  return (revents & (POLLHUP | POLLERR | POLLNVAL)) && !(revents & POLLIN);
}

static int fdRead(uint8_t* buffer, int count) {
  if (fdOfLink < 0) return 0;
  if (lost) return LINK_LOST;
  ssize_t n = read(fdOfLink, buffer, static_cast<size_t>(count));
  if (n > 0) return static_cast<int>(n);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
    pollfd p{fdOfLink, POLLIN, 0};
    if (poll(&p, 1, 0) == 1 && peerGone(p.revents)) lost = true;
    return lost ? LINK_LOST : 0;
  }
  // End of file on a socket, EIO on a pseudo-terminal whose other end closed.
  lost = true;
  return LINK_LOST;
}

static int fdWrite(const uint8_t* bytes, int length) {
  if (fdOfLink < 0 || lost) return -1;
  int done = 0;
  while (done < length) {
    ssize_t n = write(fdOfLink, bytes + done, static_cast<size_t>(length - done));
    if (n > 0) {
      done += static_cast<int>(n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      pollfd p{fdOfLink, POLLOUT, 0};
      if (poll(&p, 1, 5000) <= 0 || peerGone(p.revents)) return -1;
      continue;
    }
    return -1;
  }
  return linkIsSocket() ? 0 : done;
}

static int fdPoll(int* inQueue, int* outQueue) {
  if (fdOfLink < 0) return 0;
  if (lost) return LINK_LOST;
  int waiting = 0;
  if (ioctl(fdOfLink, FIONREAD, &waiting) < 0) waiting = 0;
  if (waiting == 0) {
    pollfd p{fdOfLink, POLLIN, 0};
    if (poll(&p, 1, 0) == 1) {
      if (peerGone(p.revents)) lost = true;
      else if (p.revents & POLLIN) {
        // Readable with nothing queued: the far side closed a socket.
        uint8_t probe;
        ssize_t n = recv(fdOfLink, &probe, 1, MSG_PEEK);
        if (n == 0) lost = true;
      }
    }
  }
  if (inQueue) *inQueue = waiting;
  if (outQueue) *outQueue = 0;
  return lost ? LINK_LOST : 0;
}

static int fdPurge(int which) {
  if (fdOfLink < 0 || which != 0) return 0;
  uint8_t sink[1024];
  while (read(fdOfLink, sink, sizeof sink) > 0) {
  }
  return 0;
}

static void fdClose() {
  if (fdOfLink >= 0) close(fdOfLink);
  fdOfLink = -1;
}

// A pseudo-terminal stands for a serial port: its termios carries XON/XOFF.
void fdSetSoftwareFlow(int fd, bool input, bool output) {
  termios t{};
  if (fd < 0 || !isatty(fd) || tcgetattr(fd, &t) != 0) return;
  t.c_iflag = input ? (t.c_iflag | IXOFF) : (t.c_iflag & ~static_cast<tcflag_t>(IXOFF));
  t.c_iflag = output ? (t.c_iflag | IXON) : (t.c_iflag & ~static_cast<tcflag_t>(IXON));
  tcsetattr(fd, TCSANOW, &t);
}

namespace {
constexpr tcflag_t FORMAT_BITS = CSIZE | PARENB | PARODD | CSTOPB;
bool formatSaved = false;
tcflag_t savedFormat = 0;
tcflag_t savedStrip = 0;
}  // namespace

void fdSetTransferFormat(int fd, bool on) {
  termios t{};
  if (fd < 0 || !isatty(fd) || tcgetattr(fd, &t) != 0) return;
  if (on) {
    if (formatSaved || (t.c_cflag & CSIZE) != CS7) return;
    savedFormat = t.c_cflag & FORMAT_BITS;
    savedStrip = t.c_iflag & ISTRIP;
    t.c_cflag = (t.c_cflag & ~FORMAT_BITS) | CS8;
    t.c_iflag &= ~static_cast<tcflag_t>(ISTRIP);  // bit 7 of received bytes is data now
    if (tcsetattr(fd, TCSANOW, &t) == 0) formatSaved = true;
    return;
  }
  if (!formatSaved) return;
  formatSaved = false;
  t.c_cflag = (t.c_cflag & ~FORMAT_BITS) | savedFormat;
  t.c_iflag = (t.c_iflag & ~static_cast<tcflag_t>(ISTRIP)) | savedStrip;
  tcsetattr(fd, TCSANOW, &t);
}

static void fdLinkSoftwareFlow(bool input, bool output) { fdSetSoftwareFlow(fdOfLink, input, output); }
static void fdLinkTransferFormat(bool on) { fdSetTransferFormat(fdOfLink, on); }

static LinkOps fdOps = {fdRead,  fdWrite, fdPoll, fdPurge, nullptr, nullptr, fdClose, true, fdLinkSoftwareFlow,
                        fdLinkTransferFormat};

int linkAttachFd(int fd, bool isSocket) {
  if (fd < 0) return -1;
  linkClose();
  int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return -1;
  fdOfLink = fd;
  lost = false;
  formatSaved = false;
  fdOps.isSocket = isSocket;
  linkAttach(&fdOps);
  return 0;
}

int linkFd() { return fdOfLink; }
