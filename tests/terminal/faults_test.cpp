// Inputs that would corrupt the buffer or lose text if handled naively:
// over-long sequences, huge counts, growing a wrapped ring, and nested
// receive passes.
#include <algorithm>

#include "terminal/receive_state.h"
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

const std::string E = "\033";

TEST(OverlongSequence, FullBufferIsTerminatedAndAbandoned) {
  reset();
  feed(E + "[" + std::string(253, '1') + "Xok");  // X is abandoned with the sequence
  EXPECT_EQ(row(0), "ok");
  feed(E + "[" + std::string(253, '1') + E + "[2;2HZ");  // an escape starts the next one
  EXPECT_EQ(row(1), " Z");
}

TEST(OverlongSequence, ControlStringEndsWhenFull) {
  reset();
  feed("a" + E + "P" + std::string(400, 'q') + "b");
  EXPECT_FALSE(emulator.inSequence);
  // The string's first 253 bytes are lost; what follows the abandoned string
  // is ordinary text again.
  EXPECT_EQ(row(0) + row(1), "a" + std::string(400 - 253 - 1, 'q') + "b");
}

struct CountCase {
  const char* name;
  std::string input;
  std::string screen;
  std::string cursor;
};

// Counts far past any screen: parsing saturates and every count is clamped
// before it is used (a 32-bit wrap of 4294967297 would read as 1).
const CountCase counts[] = {
    {"up", E + "[10;1H" + E + "[4294967297A", "", "1,1"},
    {"down", E + "[4294967297B", "", "24,1"},
    {"right", E + "[?7l" + E + "[4294967297C", "", "1,80"},
    {"right_wrapping", E + "[4294967297C", "", "24,16"},  // 65535 = 819 rows and 15 columns
    {"left", E + "[1;50H" + E + "[4294967297D", "", "1,1"},
    {"position", E + "[4294967297;4294967297H", "", "24,80"},
    {"insert_chars", "abc" + E + "[1;2H" + E + "[4294967297@", "a" + std::string(79, ' '), "1,2"},
    {"delete_chars", "abc" + E + "[1;2H" + E + "[4294967297P", "a", "1,2"},
    {"erase_chars", "abc" + E + "[1;2H" + E + "[4294967297X", "a  ", "1,2"},
    {"insert_lines", "a\r\nb" + E + "[1;1H" + E + "[4294967297L", "", "1,1"},
    {"delete_lines", "a\r\nb" + E + "[2;1H" + E + "[4294967297M", "a", "2,1"},
    {"region", E + "[4294967297;4294967298r" + "x", "x", "1,2"},
    {"rendition", E + "[4294967297;4294967327mx", "x", "1,2"},
};

class HugeCounts : public ::testing::TestWithParam<CountCase> {};
void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

TEST_P(HugeCounts, Clamped) {
  const CountCase& c = GetParam();
  reset();
  feed(c.input);
  EXPECT_EQ(screenText(), c.screen);
  EXPECT_EQ(cursor(), c.cursor);
  EXPECT_EQ(attrs(0).size(), 2 * row(0).size());
}

INSTANTIATE_TEST_SUITE_P(Faults, HugeCounts, ::testing::ValuesIn(counts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HugeCounts, WindowArithmeticStaysSmall) {
  reset();
  feed("abc" + E + "[1;2H" + E + "[99999999999@" + E + "[99999999999P" + E + "[99999999999L" +
       E + "[99999999999M");
  for (const SurfaceCall& c : surfaceCalls()) {
    if (c.op != SurfaceOp::Scroll && c.op != SurfaceOp::Fill) continue;
    for (int v : {c.a, c.b, c.c, c.d, c.e, c.f}) EXPECT_LE(std::abs(v), 10000);
  }
}

TEST(RingGrowth, GrowingAfterWrapKeepsOldestOutOfLiveScreen) {
  reset(4, 24, 80, 30);
  for (int i = 0; i < 100; ++i) feed("L" + std::to_string(i) + "\r\n");
  ASSERT_TRUE(screen.wrapped);
  setRows(28);  // the new rows took the oldest lines: the oldest held follows the newest
  EXPECT_EQ(screen.oldest, (screen.newest + 1) % screen.capacity);
  EXPECT_EQ(screen.historyLines, 2);
  EXPECT_EQ(row(0), "L77");
  EXPECT_EQ(historyRow(1), "L76");
  EXPECT_EQ(historyRow(2), "L75");
  // Further scrolling keeps the order.
  feed(E + "[28;1H\nZ");
  EXPECT_EQ(historyRow(1), "L77");
  EXPECT_EQ(row(26), "");
  EXPECT_EQ(row(27), "Z");
}

TEST(RingGrowth, GrowingPastTheRingEndBeforeWrapping) {
  reset(4, 24, 80, 30);
  for (int i = 0; i < 5; ++i) feed("L" + std::to_string(i) + "\r\n");  // newest at 27 of 30
  setRows(28);
  scrollView(-100);
  EXPECT_EQ(screen.screenTop, (screen.liveTop - screen.historyLines + 30) % 30);
}

// A socket write pumps window messages, so a receive pass can start while a
// reply is being written.
int writesSeen = 0;
int deepest = 0;

TEST(NestedPass, InnerPassDoesNotOverwriteOuterBlock) {
  reset();
  writesSeen = 0;
  wire.onWrite = [] {
    if (writesSeen++ == 0) {
      wire.incoming += "xyz" + E + "[3;3HQ" + E + "[1;5H";
      receiveAvailable();
    }
  };
  feed("A" + E + "[6nBCDEFGH");
  EXPECT_EQ(row(0), "AxyzBCDEFGH");
  EXPECT_EQ(row(2), "  Q");
  EXPECT_EQ(wire.replies, E + "[1;2R");
}

TEST(NestedPass, FloodOfRequestsDoesNotNestWithoutLimit) {
  reset();
  writesSeen = deepest = 0;
  wire.onWrite = [] {
    ++writesSeen;
    deepest = std::max(deepest, receiveState.depth);
    // Every reply lets the host's next requests in at once.
    if (writesSeen < 500) wire.incoming += E + "[5n" + E + "[5n";
    receiveAvailable();
  };
  feed(E + "[5n");
  EXPECT_LE(deepest, MAX_RECEIVE_DEPTH);
  EXPECT_EQ(receiveState.depth, 0);
  // Nothing is lost: every request was answered.
  EXPECT_EQ(wire.at, wire.incoming.size());
  EXPECT_EQ(writesSeen, 1 + 2 * 499);
}

}  // namespace
