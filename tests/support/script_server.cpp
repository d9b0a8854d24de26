#include "tests/support/script_server.h"

#include "tests/support/peers.h"

#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ScriptStep scriptSend(const std::string& bytes) { return {ScriptStep::SEND, bytes, 0}; }
ScriptStep scriptSendUrgent(const std::string& bytes) { return {ScriptStep::URGENT, bytes, 0}; }
ScriptStep scriptExpect(const std::string& bytes, int ms) { return {ScriptStep::EXPECT, bytes, ms}; }
ScriptStep scriptPause(int ms) { return {ScriptStep::PAUSE, "", ms}; }
ScriptStep scriptClose() { return {ScriptStep::CLOSE, "", 0}; }
ScriptStep scriptFlood(const std::string& bytes, int ms, bool reads) { return {ScriptStep::FLOOD, bytes, ms, reads}; }

namespace {
using Clock = std::chrono::steady_clock;

// Reads what the client sends for up to ms; false when it closed.
bool readSome(ScriptServer* s, int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, ms) != 1) return true;
  char buf[4096];
  ssize_t n = read(fd, buf, sizeof buf);
  if (n <= 0) return false;
  std::lock_guard<std::mutex> g(s->lock);
  s->received.append(buf, static_cast<size_t>(n));
  return true;
}

void run(ScriptServer* s, std::vector<ScriptStep> steps) {
  pollfd p{s->listener, POLLIN, 0};
  int fd = -1;
  if (poll(&p, 1, 10000) == 1) fd = accept(s->listener, nullptr, nullptr);
  if (fd >= 0) {
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    size_t matched = 0;  // expectations are met in order, each after the last
    bool open = true;
    for (const ScriptStep& step : steps) {
      if (step.kind == ScriptStep::SEND) {
        if (write(fd, step.bytes.data(), step.bytes.size()) < 0) break;
      } else if (step.kind == ScriptStep::URGENT) {
        if (send(fd, step.bytes.data(), step.bytes.size(), MSG_OOB | MSG_NOSIGNAL) < 0) break;
      } else if (step.kind == ScriptStep::PAUSE) {
        auto end = Clock::now() + std::chrono::milliseconds(step.ms);
        while (open && Clock::now() < end) open = readSome(s, fd, 10);
      } else if (step.kind == ScriptStep::CLOSE) {
        break;
      } else if (step.kind == ScriptStep::FLOOD) {
        auto end = Clock::now() + std::chrono::milliseconds(step.ms);
        while (open && Clock::now() < end) {
          pollfd out{fd, POLLOUT, 0};
          if (poll(&out, 1, 10) == 1 && (out.revents & (POLLERR | POLLHUP))) break;
          if ((out.revents & POLLOUT) && send(fd, step.bytes.data(), step.bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL) < 0 &&
              errno != EAGAIN)
            break;
          if (step.reads) open = readSome(s, fd, 0);
        }
      } else {
        auto end = Clock::now() + std::chrono::milliseconds(step.ms);
        bool met = false;
        while (!met) {
          {
            std::lock_guard<std::mutex> g(s->lock);
            size_t at = s->received.find(step.bytes, matched);
            if (at != std::string::npos) {
              matched = at + step.bytes.size();
              met = true;
              break;
            }
          }
          if (!open || Clock::now() >= end) break;
          open = readSome(s, fd, 10);
        }
        if (!met) {
          std::lock_guard<std::mutex> g(s->lock);
          s->failure = "expected bytes did not arrive: " + step.bytes;
          break;
        }
      }
    }
    close(fd);
  }
  std::lock_guard<std::mutex> g(s->lock);
  s->finished = true;
}
}  // namespace

bool scriptServerStart(ScriptServer* s, std::vector<ScriptStep> steps) {
  s->listener = tcpListen(&s->port);
  if (s->listener < 0) return false;
  s->runner = std::thread(run, s, std::move(steps));
  return true;
}

void scriptServerStop(ScriptServer* s, int ms) {
  auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < end) {
    {
      std::lock_guard<std::mutex> g(s->lock);
      if (s->finished) break;
    }
    usleep(5000);
  }
  if (s->listener >= 0) shutdown(s->listener, SHUT_RDWR);
  if (s->runner.joinable()) s->runner.join();
  if (s->listener >= 0) close(s->listener);
  s->listener = -1;
}

std::string scriptReceived(ScriptServer* s) {
  std::lock_guard<std::mutex> g(s->lock);
  return s->received;
}
