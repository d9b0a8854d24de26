// The ring between the port's reader thread and the main thread.
#include <gtest/gtest.h>

#include <thread>

#include "dialup/receive_ring.h"

// A stream put in runs of every length through a small ring by one thread and
// taken in other lengths by another arrives whole and in order, across every
// wrap; a drop empties what is held and the stream goes on after it.
TEST(ReceiveRing, StreamThroughTwoThreadsAndDrop) {
  ReceiveRing ring;
  ringReset(ring, 1000);
  ASSERT_EQ(ring.bytes.size(), 1024u);
  constexpr uint32_t TOTAL = 3000000;
  std::thread producer([&] {
    for (uint32_t sent = 0, run = 1; sent < TOTAL; run = run % 1500 + 7) {
      uint32_t free = 0;
      uint8_t* at = ringFreeRun(ring, &free);
      if (free > run) free = run;
      if (free > TOTAL - sent) free = TOTAL - sent;
      for (uint32_t i = 0; i < free; ++i) at[i] = static_cast<uint8_t>((sent + i) % 251);
      ringPut(ring, free);
      sent += free;
    }
  });
  uint32_t got = 0;
  bool inOrder = true;
  for (int want = 1; got < TOTAL && inOrder; want = want % 700 + 3) {
    uint8_t buffer[800];
    const int n = ringTake(ring, buffer, want);
    ASSERT_LE(n, want);
    for (int i = 0; i < n; ++i) inOrder = inOrder && buffer[i] == (got + i) % 251;
    got += static_cast<uint32_t>(n);
  }
  producer.join();
  EXPECT_TRUE(inOrder) << "at byte " << got;
  EXPECT_EQ(ringHeld(ring), 0u);

  uint32_t free = 0;
  uint8_t* at = ringFreeRun(ring, &free);
  at[0] = 'x';
  ringPut(ring, 1);
  ringDrop(ring);
  EXPECT_EQ(ringHeld(ring), 0u);
  at = ringFreeRun(ring, &free);
  at[0] = 'y';
  ringPut(ring, 1);
  uint8_t b[4];
  EXPECT_EQ(ringTake(ring, b, 4), 1);
  EXPECT_EQ(b[0], 'y');
}
