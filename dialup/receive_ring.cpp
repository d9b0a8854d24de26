#include "dialup/receive_ring.h"

#include <cstring>

void ringReset(ReceiveRing& r, uint32_t capacity) {
  uint32_t size = 1;
  while (size < capacity) size <<= 1;
  r.bytes.assign(size, 0);
  r.put.store(0);
  r.taken.store(0);
}

uint32_t ringHeld(const ReceiveRing& r) {
  return r.put.load(std::memory_order_acquire) - r.taken.load(std::memory_order_acquire);
}

uint8_t* ringFreeRun(ReceiveRing& r, uint32_t* length) {
  const uint32_t size = static_cast<uint32_t>(r.bytes.size());
  const uint32_t put = r.put.load(std::memory_order_relaxed);
  const uint32_t free = size - (put - r.taken.load(std::memory_order_acquire));
  const uint32_t at = put & (size - 1);
  *length = free < size - at ? free : size - at;
  return r.bytes.data() + at;
}

void ringPut(ReceiveRing& r, uint32_t count) {
  r.put.store(r.put.load(std::memory_order_relaxed) + count, std::memory_order_release);
}

int ringTake(ReceiveRing& r, uint8_t* buffer, int count) {
  if (count <= 0 || r.bytes.empty()) return 0;
  const uint32_t size = static_cast<uint32_t>(r.bytes.size());
  const uint32_t taken = r.taken.load(std::memory_order_relaxed);
  uint32_t n = r.put.load(std::memory_order_acquire) - taken;
  if (n > static_cast<uint32_t>(count)) n = static_cast<uint32_t>(count);
  const uint32_t at = taken & (size - 1);
  const uint32_t first = n < size - at ? n : size - at;
  memcpy(buffer, r.bytes.data() + at, first);
  memcpy(buffer + first, r.bytes.data(), n - first);
  r.taken.store(taken + n, std::memory_order_release);
  return static_cast<int>(n);
}

void ringDrop(ReceiveRing& r) { r.taken.store(r.put.load(std::memory_order_acquire), std::memory_order_release); }
