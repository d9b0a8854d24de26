// Arbitrary received bytes through the receive pass under every emulation and
// option, interleaved with height changes, scrollback viewing and echoed
// typing; the buffer's invariants are checked after every step.
//
// The first option byte picks the emulation (1 + byte % 10), so the VT family,
// SCO-ANSI, TTY, VT52 (3), Wyse 50 (8) and IBM 3151 (10) all get inputs, and a
// step may switch emulation between any two blocks: a sequence or an armed
// cursor address of one emulation must never leak into the next.
//
// Input: 4 option bytes, then steps. A step byte below 0xF0 feeds that many
// bytes + 1; 0xF0..0xF7 change the height, 0xF8..0xFB move the view,
// 0xFC types a byte with local echo, 0xFD..0xFF change the emulation.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/receive_state.h"
#include "terminal/screen.h"
#include "terminal/surface_posix.h"
#include "terminal/terminal_state.h"
#include "terminal/terminal_type.h"

namespace {

const uint8_t* pending = nullptr;
size_t pendingLength = 0;

int fuzzRead(uint8_t* buffer, int count) {
  size_t n = pendingLength < static_cast<size_t>(count) ? pendingLength : static_cast<size_t>(count);
  std::memcpy(buffer, pending, n);
  pending += n;
  pendingLength -= n;
  return static_cast<int>(n);
}

int fuzzWrite(const uint8_t*, int) { return 0; }

LinkOps ops = {fuzzRead, fuzzWrite, nullptr, nullptr, nullptr, nullptr, nullptr, true, nullptr};

void failed(const char* what, int line) {
  std::fprintf(stderr, "invariant broken at line %d: %s\n", line, what);
  std::abort();
}
#define check(ok) ((ok) ? (void)0 : failed(#ok, __LINE__))

int distance(int a, int b) { return ((b - a) % screen.capacity + screen.capacity) % screen.capacity; }

void checkInvariants() {
  const ScreenBuffer& s = screen;
  check(s.rows >= 1 && s.rows <= MAX_ROWS);
  check(s.columns >= 1 && s.columns <= LINE_CELLS);
  check(s.capacity >= s.rows && s.capacity <= MAX_CAPACITY);
  check(static_cast<int>(s.text.size()) == s.capacity);
  check(s.attributes.size() == static_cast<size_t>(s.capacity) * LINE_CELLS);
  for (int i : {s.newest, s.oldest, s.screenTop, s.screenBottom, s.liveTop, s.liveBottom})
    check(i >= 0 && i < s.capacity);
  check(s.screenBottom == (s.screenTop + s.rows - 1) % s.capacity);
  check(s.liveBottom == (s.liveTop + s.rows - 1) % s.capacity);
  check(s.liveBottom == s.newest);
  check(s.historyLines >= 0 && s.historyLines <= s.capacity - s.rows);
  check(s.historyLines <= distance(s.oldest, s.liveTop));
  check(s.viewPosition >= 0 && s.viewPosition <= s.historyLines);
  check(!s.wrapped || s.oldest == (s.newest + 1) % s.capacity || distance(s.oldest, s.liveTop) >= s.historyLines);
  check(s.row >= 0 && s.row < s.rows);
  check(s.column >= 0 && s.column <= LINE_CELLS);
  check(s.scrollTop >= 1 && s.scrollTop <= s.rows && s.scrollBottom >= 1 && s.scrollBottom <= s.rows);
  for (const ScreenLine& l : s.text) check(l.used >= 0 && l.used <= LINE_CELLS);
  // The live rows are a permutation of the live slots, and each view row reads
  // the line the order gives it.
  bool seen[MAX_ROWS] = {};
  for (int r = 0; r < s.rows; ++r) {
    check(s.liveOrder[r] < s.rows && !seen[s.liveOrder[r]]);
    if (s.liveOrder[r] < s.rows) seen[s.liveOrder[r]] = true;
    int k = distance(s.liveTop, (s.screenTop + r) % s.capacity);
    int expected = k < s.rows ? (s.liveTop + s.liveOrder[k]) % s.capacity : (s.screenTop + r) % s.capacity;
    check(s.rowLine[r] == expected);
  }
  check(emulator.count >= 0 && emulator.count <= SEQUENCE_MAX);
  check(!emulator.inSequence || emulator.sequence[emulator.count] == 0);
  check(receiveState.depth == 0);
  // Direct cursor addressing and the attribute-reset flag belong to the
  // emulation that set them.
  int e = emulator.emulation;
  check(emulator.addressCount == 0 || (emulator.addressMode && emulator.addressCount == 1));
  check(!emulator.addressMode || e == TERM_VT52 || e == TERM_WYSE50 || e == TERM_IBM3151);
  check(!emulator.ibmAttributeReset || e == TERM_IBM3151);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint8_t flags = data[1];
  int rows = 1 + data[2] % MAX_ROWS;
  static const int widths[] = {80, 132, 255, 7};
  static const int capacities[] = {24, 30, 100, 1};
  terminalReset(rows, widths[flags & 3], capacities[(data[3] >> 6) & 3]);
  surfaceClearCalls();
  terminalOptions.emulation = 1 + data[0] % 10;
  terminalOptions.autowrap = flags & 0x04;
  terminalOptions.inboundCrLf = flags & 0x08;
  terminalOptions.stripHighBit = flags & 0x10;
  terminalOptions.displayControls = flags & 0x20;
  terminalOptions.telnet = flags & 0x40;
  terminalOptions.noWrapLastCell = (data[3] & 1) ? 131 : 254;
  terminalOptions.localEcho = data[3] & 2;
  terminalOptions.outboundCrLf = data[3] & 4;
  emulatorConnectionStart();
  linkAttach(&ops);
  receiveEightBit = !(flags & 0x80);
  checkInvariants();

  size_t at = 4;
  while (at < size) {
    uint8_t step = data[at++];
    uint8_t arg = at < size ? data[at] : 0;
    if (step < 0xF0) {
      size_t n = step + 1u;
      if (n > size - at) n = size - at;
      pending = data + at;
      pendingLength = n;
      while (pendingLength > 0) receiveAvailable();
      at += n;
    } else if (step < 0xF8) {
      setRows(1 + arg % MAX_ROWS);
      ++at;
    } else if (step < 0xFC) {
      scrollView(static_cast<int8_t>(arg));
      ++at;
    } else if (step == 0xFC) {
      sendBytes(&arg, 1);
      ++at;
    } else {
      terminalOptions.emulation = 1 + arg % 10;
      ++at;
    }
    if (screen.viewPosition != screen.historyLines) {
      // Only received data returns to the live view; check the ring meanwhile.
      returnToLive();
    }
    checkInvariants();
  }
  // Cells past the used length hold spaces: nothing stale can reappear.
  for (const ScreenLine& l : screen.text)
    for (int c = l.used; c < LINE_CELLS; ++c) check(l.cells[c] == ' ');
  linkAttach(nullptr);
  return 0;
}
