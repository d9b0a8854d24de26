// modem [--number N=HOST:PORT|busy|no-carrier|no-dialtone|silent]... [--answer HOST:PORT]
// A Hayes-compatible modem on standard input and output: put it behind a pty
// with socat and dial it from the terminal. A dialed number found in the
// table connects to its TCP address (or gives its result); SIGUSR1 rings.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "dialup/hayes_modem.h"

namespace {
int ringPipe[2] = {-1, -1};

void onRing(int) {
  int saved = errno;
  char c = 1;
  if (write(ringPipe[1], &c, 1) < 0) {
    // a full pipe already holds a ring
  }
  errno = saved;
}

uint32_t nowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(ts.tv_sec * 1000ull + ts.tv_nsec / 1000000);
}

bool writeAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      poll(&p, 1, 1000);
      continue;
    }
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// A TCP connection to host:port within a few seconds, or -1.
int tcpOpen(const std::string& host, int port) {
  addrinfo hints{}, *res = nullptr;
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &res) != 0 || !res) return -1;
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd >= 0) {
    fcntl(fd, F_SETFL, O_NONBLOCK);
    int r = connect(fd, res->ai_addr, res->ai_addrlen);
    if (r < 0 && errno == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      int err = 0;
      socklen_t len = sizeof err;
      r = poll(&p, 1, 5000) == 1 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0 ? 0 : -1;
    }
    if (r < 0) {
      close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(res);
  return fd;
}

int usage(const char* why) {
  std::fprintf(stderr, "modem: %s\nusage: modem [--number N=HOST:PORT|busy|no-carrier|no-dialtone|silent]... [--answer HOST:PORT]\n", why);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  static HayesModem m;
  modemReset(m);
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 >= argc) return usage(("missing value after " + a).c_str());
    std::string v = argv[++i];
    if (a == "--number") {
      NumberRule r;
      if (parseNumberRule(v, r) < 0) return usage(("bad number rule " + v).c_str());
      m.numbers.push_back(r);
    } else if (a == "--answer") {
      if (parseHostPort(v, m.answerHost, m.answerPort) < 0) return usage(("bad address " + v).c_str());
    } else {
      return usage(("unknown option " + a).c_str());
    }
  }
  if (pipe(ringPipe) < 0) return 1;
  fcntl(ringPipe[0], F_SETFL, O_NONBLOCK);
  fcntl(ringPipe[1], F_SETFL, O_NONBLOCK);
  struct sigaction sa{};
  sa.sa_handler = onRing;
  sigaction(SIGUSR1, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  int sock = -1;
  uint8_t buf[4096];
  for (;;) {
    ModemActions out;
    uint32_t now = nowMs();
    pollfd fds[3] = {{0, POLLIN, 0}, {ringPipe[0], POLLIN, 0}, {sock, POLLIN, 0}};
    int ready = poll(fds, sock >= 0 ? 3 : 2, static_cast<int>(modemNextEvent(m, now, 1000)));
    now = nowMs();
    if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP))) {
      ssize_t n = read(0, buf, sizeof buf);
      if (n <= 0 && !(n < 0 && errno == EINTR)) break;  // the terminal has gone
      if (n > 0) modemFromTerminal(m, buf, static_cast<int>(n), now, out);
    }
    if (ready > 0 && (fds[1].revents & POLLIN)) {
      while (read(ringPipe[0], buf, sizeof buf) > 0) {
      }
      modemRing(m, now, out);
    }
    if (ready > 0 && sock >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
      ssize_t n = read(sock, buf, sizeof buf);
      if (n > 0) {
        modemFromRemote(m, buf, static_cast<int>(n), out);
      } else if (!(n < 0 && (errno == EINTR || errno == EAGAIN))) {
        close(sock);
        sock = -1;
        modemRemoteClosed(m, out);
      }
    }
    modemTick(m, now, out);
    // Carrying out one step's actions may give more (a connection's result).
    for (int round = 0; round < 4; ++round) {
      ModemActions next;
      if (!out.terminal.empty() && !writeAll(1, out.terminal)) return 0;
      if (sock >= 0 && !out.remote.empty()) writeAll(sock, out.remote);
      if (out.hangUp && sock >= 0) {
        close(sock);
        sock = -1;
      }
      if (out.connect) {
        if (sock >= 0) close(sock);
        sock = tcpOpen(out.host, out.port);
        modemConnected(m, sock >= 0, nowMs(), next);
      }
      out = next;
    }
  }
  if (sock >= 0) close(sock);
  return 0;
}
