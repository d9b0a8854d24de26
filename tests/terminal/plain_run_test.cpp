// The fast path takes plain ASCII eight bytes at a time: any other byte, at
// any place in a long run, must end the run exactly where the per-byte path
// would.
#include "tests/terminal/terminal_harness.h"

namespace {

TEST(PlainRuns, EveryByteValueAtEveryPlaceOfAWord) {
  for (int b = 0; b < 256; ++b) {
    for (int at = 0; at < 9; ++at) {
      std::string s = "0123456789abcdefghijklmnopqrstuvwxyz";
      s[static_cast<size_t>(at + 3)] = static_cast<char>(b);
      harness::expectPathsAlike(4, s, false);
    }
  }
}

}  // namespace
