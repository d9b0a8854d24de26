// Received bytes between the thread that reads the port and the main thread
// that draws them: one producer, one consumer, each moving only its own count,
// so neither waits for the other's lock.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

struct ReceiveRing {
  std::vector<uint8_t> bytes;     // a power of two in size
  std::atomic<uint32_t> put{0};   // bytes put so far (the producer's)
  std::atomic<uint32_t> taken{0};  // bytes taken so far (the consumer's)
};

// Sizes the ring (rounded up to a power of two) and empties it; neither thread
// may use it meanwhile.
void ringReset(ReceiveRing& r, uint32_t capacity);
uint32_t ringHeld(const ReceiveRing& r);
// The producer's side: the free run after the last byte put (0 when full),
// then how many bytes went into it.
uint8_t* ringFreeRun(ReceiveRing& r, uint32_t* length);
void ringPut(ReceiveRing& r, uint32_t count);
// The consumer's side: up to count bytes in the order they were put; dropping
// everything held so far.
int ringTake(ReceiveRing& r, uint8_t* buffer, int count);
void ringDrop(ReceiveRing& r);
