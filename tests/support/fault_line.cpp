#include "tests/support/fault_line.h"

#include <deque>

#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "terminal/link.h"

namespace {
struct Pending {
  uint8_t byte;
  uint32_t due;
};
struct Direction {
  FaultPlan plan;
  uint32_t random;
  uint32_t passed;
  uint32_t stalledUntil;
  std::deque<Pending> queue;
  std::vector<uint8_t> written;
  int longestWrite;
};
Direction directions[2];
bool cut = false;
int attachedEnd = 0;

uint32_t nextRandom(Direction& d) {
  d.random = d.random * 1664525u + 1013904223u;
  return d.random >> 8;
}
bool chance(Direction& d, int perMillion) {
  return perMillion > 0 && static_cast<int>(nextRandom(d) % 1000000u) < perMillion;
}

void put(Direction& d, uint8_t b) {
  d.written.push_back(b);
  uint32_t now = clockTicks();
  ++d.passed;
  if (d.plan.cutAfterBytes && d.passed > d.plan.cutAfterBytes) {
    cut = true;
    return;
  }
  bool faults = d.passed > d.plan.cleanBytes;
  if (faults && chance(d, d.plan.stallPerMillion)) d.stalledUntil = now + d.plan.stallMs;
  uint32_t due = now + d.plan.delayMs;
  if (static_cast<int32_t>(d.stalledUntil - due) > 0) due = d.stalledUntil;
  if (faults && chance(d, d.plan.dropPerMillion)) return;
  if (faults && chance(d, d.plan.flipPerMillion)) b ^= static_cast<uint8_t>(1u << (nextRandom(d) % 8));
  d.queue.push_back({b, due});
  if (faults && chance(d, d.plan.duplicatePerMillion)) d.queue.push_back({b, due});
}

int ready(const Direction& d) {
  uint32_t now = clockTicks();
  int n = 0;
  for (const Pending& p : d.queue) {
    if (static_cast<int32_t>(now - p.due) < 0) break;
    ++n;
  }
  return n;
}

Direction& incoming() { return directions[1 - attachedEnd]; }
Direction& outgoing() { return directions[attachedEnd]; }

int lineReadOp(uint8_t* buffer, int count) {
  if (cut) return LINK_LOST;
  Direction& d = incoming();
  int n = ready(d);
  if (n > count) n = count;
  for (int i = 0; i < n; ++i) {
    buffer[i] = d.queue.front().byte;
    d.queue.pop_front();
  }
  return n;
}

int lineWriteOp(const uint8_t* bytes, int length) {
  if (cut) return -1;
  Direction& d = outgoing();
  for (int i = 0; i < length; ++i) put(d, bytes[i]);
  if (length > d.longestWrite) d.longestWrite = length;
  if (d.plan.bytesPerSecond) clockAdvance(static_cast<uint32_t>(uint64_t{1000} * length / d.plan.bytesPerSecond));
  return 0;
}

int linePollOp(int* in, int* out) {
  if (in) *in = cut ? 0 : ready(incoming());
  if (out) *out = 0;
  return cut ? LINK_LOST : 0;
}

int linePurgeOp(int which) {
  // Receive side: what has already arrived is dropped; bytes still on the way stay.
  if (which == 0) {
    Direction& d = incoming();
    int n = ready(d);
    while (n-- > 0) d.queue.pop_front();
  }
  return 0;
}

const LinkOps ops = {lineReadOp, lineWriteOp, linePollOp, linePurgeOp, nullptr, nullptr, nullptr, true, nullptr, nullptr};
}  // namespace

void faultLineReset(const FaultPlan& fromEnd0, const FaultPlan& fromEnd1) {
  for (int i = 0; i < 2; ++i) {
    directions[i] = Direction{};
    directions[i].plan = i == 0 ? fromEnd0 : fromEnd1;
    directions[i].random = directions[i].plan.seed;
  }
  cut = false;
  attachedEnd = 0;
}

void faultLineAttach(int end) {
  attachedEnd = end ? 1 : 0;
  linkAttach(&ops);
}

const std::vector<uint8_t>& faultLineWritten(int end) { return directions[end ? 1 : 0].written; }
int faultLineLongestWrite(int end) { return directions[end ? 1 : 0].longestWrite; }

void faultLineInject(int end, const uint8_t* bytes, int length) {
  Direction& d = directions[end ? 1 : 0];
  for (int i = 0; i < length; ++i) d.queue.push_back({bytes[i], clockTicks()});
}

void faultLineCut() { cut = true; }
