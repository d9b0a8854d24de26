// The Wyse 50 escape-sequence collector. The receive path calls it for every
// byte of a sequence under this emulation, after appending the byte to the
// sequence buffer. Its interpreter is not written yet: until then a sequence
// ends at its first byte after ESC and has no effect, so the bytes that follow
// are shown as text and nothing is swallowed.
#include <cstdint>

#include "terminal/emulator.h"

void collectWyse50Byte(uint8_t b) {
  if (b == 0x1B) {
    startSequence();
    return;
  }
  endSequence();
}
