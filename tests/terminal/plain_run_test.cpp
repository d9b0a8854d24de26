// The fast path takes plain ASCII and sequence parameters eight bytes at a
// time: any other byte, at any place in a long run, must end the run exactly
// where the per-byte path would.
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

// The same for the parameters of a control sequence, taken eight at a time.
TEST(PlainRuns, EveryByteValueAmongSequenceParameters) {
  for (int b = 0; b < 256; ++b) {
    for (int at = 0; at < 9; ++at) {
      std::string s = "\x1b[1;22;3;44;5;66;7;88;9mX\x1b[12;34;56;78;90;12Hy";
      s[static_cast<size_t>(at + 3)] = static_cast<char>(b);
      harness::reset(4);
      harness::feed(s);
      SCOPED_TRACE(std::to_string(b) + " at " + std::to_string(at));
      // One byte per pass: the parameters are taken one at a time.
      harness::expectBytewiseAlike(4, s, harness::snapshot());
    }
  }
}

}  // namespace
