// ZMODEM's escaping by byte shuffles and its decoding sixteen bytes a step.
#include "transfer/zmodem_wide.h"

#include "transfer/zmodem.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#include <tmmintrin.h>

namespace {
__attribute__((target("sse2"))) inline __m128i load16(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
__attribute__((target("sse2"))) inline void store16(uint8_t* p, __m128i w) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), w);
}

bool hasSse2() {
  static const bool usable = __builtin_cpu_supports("sse2");
  return usable;
}

// For eight bytes with escape marks e, the sixteen bytes they become: a
// shuffle that spreads them apart (ZDLE slots take 0x80: zero), then 0x40
// flips the escaped bytes and ZDLE fills its slots.
struct Expansions {
  uint8_t shuffle[256][16];
  uint8_t flip[256][16];
  uint8_t zdle[256][16];
  uint8_t length[256];
};

const Expansions& expansions() {
  static Expansions x;
  static bool ready = false;
  if (!ready) {
    for (int e = 0; e < 256; ++e) {
      int p = 0;
      for (int j = 0; j < 8; ++j) {
        if (e & (1 << j)) {
          x.shuffle[e][p] = 0x80;
          x.zdle[e][p++] = ZDLE;
          x.flip[e][p] = 0x40;
        }
        x.shuffle[e][p++] = static_cast<uint8_t>(j);
      }
      for (int q = p; q < 16; ++q) x.shuffle[e][q] = 0x80;
      x.length[e] = static_cast<uint8_t>(p);
    }
    ready = true;
  }
  return x;
}

// Which bytes of w are escaped, given the byte sent before it.
__attribute__((target("sse2"))) inline unsigned escapeMarks(__m128i w, __m128i before, bool all) {
  if (all) return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(w, _mm_set1_epi8(0x60)), _mm_setzero_si128())));
  // 0x10, 0x11, 0x13 with either parity, ZDLE (0x18 only), and CR with
  // either parity after "@" with either parity.
  __m128i m = _mm_and_si128(w, _mm_set1_epi8(0x7F));
  __m128i c = _mm_or_si128(_mm_cmpeq_epi8(m, _mm_set1_epi8(0x10)), _mm_cmpeq_epi8(m, _mm_set1_epi8(0x11)));
  c = _mm_or_si128(c, _mm_cmpeq_epi8(m, _mm_set1_epi8(0x13)));
  c = _mm_or_si128(c, _mm_cmpeq_epi8(w, _mm_set1_epi8(ZDLE)));
  __m128i at = _mm_cmpeq_epi8(_mm_and_si128(before, _mm_set1_epi8(0x7F)), _mm_set1_epi8('@'));
  c = _mm_or_si128(c, _mm_and_si128(at, _mm_cmpeq_epi8(m, _mm_set1_epi8(0x0D))));
  return static_cast<unsigned>(_mm_movemask_epi8(c));
}

__attribute__((target("ssse3"))) inline uint8_t* expand8(uint8_t* o, __m128i w, unsigned e, const Expansions& x) {
  __m128i spread = _mm_shuffle_epi8(w, load16(x.shuffle[e]));
  spread = _mm_or_si128(_mm_xor_si128(spread, load16(x.flip[e])), load16(x.zdle[e]));
  store16(o, spread);
  return o + x.length[e];
}

__attribute__((target("ssse3"))) int escapeShuffled(const uint8_t* data, int length, uint8_t** out, bool all,
                                                    uint8_t* last) {
  const Expansions& x = expansions();
  uint8_t* o = *out;
  // The byte before each byte of the block: only '@' matters, and an escaped
  // byte is never '@' where CR waits for one (every control is escaped
  // otherwise), so the data byte stands for what went out.
  __m128i carry = _mm_slli_si128(_mm_cvtsi32_si128(*last), 15);
  int i = 0;
  for (; i + 16 <= length; i += 16) {
    __m128i w = load16(data + i);
    __m128i before = _mm_alignr_epi8(w, carry, 15);
    carry = w;
    unsigned e = escapeMarks(w, before, all);
    o = expand8(o, w, e & 0xFF, x);
    o = expand8(o, _mm_srli_si128(w, 8), e >> 8, x);
  }
  if (i > 0) *last = o[-1];
  *out = o;
  return i;
}

__attribute__((target("sse2"))) unsigned decodeStops16(__m128i w, bool escapeAll) {
  __m128i stops;
  if (escapeAll) {
    stops = _mm_cmpeq_epi8(_mm_and_si128(w, _mm_set1_epi8(0x60)), _mm_setzero_si128());
  } else {
    __m128i zdle = _mm_cmpeq_epi8(w, _mm_set1_epi8(ZDLE));
    __m128i flow = _mm_cmpeq_epi8(_mm_and_si128(w, _mm_set1_epi8(0x7D)), _mm_set1_epi8(0x11));
    stops = _mm_or_si128(zdle, flow);
  }
  return static_cast<unsigned>(_mm_movemask_epi8(stops));
}

__attribute__((target("sse2"))) int decodeBlocks(const uint8_t* p, int count, uint8_t* out, int room, bool escapeAll,
                                                 int* made) {
  int n = 0;
  int taken = 0;
  // 32 bytes of input and of room: a block's copies read and write up to
  // sixteen past it. Each copy overwrites what follows a decoded pair.
  while (n + 32 <= count && taken + 32 <= room) {
    __m128i w = load16(p + n);
    store16(out + taken, w);
    unsigned stops = decodeStops16(w, escapeAll);
    if (!stops) {
      n += 16;
      taken += 16;
      continue;
    }
    int pos = 0;
    do {
      int k = __builtin_ctz(stops);
      stops &= stops - 1;
      store16(out + taken, load16(p + n + pos));
      taken += k - pos;
      // The byte after a decodable ZDLE is never a stop itself.
      if (p[n + k] != ZDLE || (p[n + k + 1] & 0x60) != 0x40) {
        *made = taken;
        return n + k;
      }
      out[taken++] = p[n + k + 1] ^ 0x40;
      pos = k + 2;
    } while (stops);
    if (pos <= 16) {
      store16(out + taken, load16(p + n + pos));
      taken += 16 - pos;
      n += 16;
    } else {
      n += pos;
    }
  }
  *made = taken;
  return n;
}

__attribute__((target("sse2"))) int plainBlocks(const uint8_t* p, int count, bool escapeAll) {
  int n = 0;
  for (; n + 16 <= count; n += 16) {
    unsigned stops = decodeStops16(load16(p + n), escapeAll);
    if (stops) return n + __builtin_ctz(stops);
  }
  return n;
}
}  // namespace

int zEscapeWide(const uint8_t* data, int length, uint8_t** out, bool all, uint8_t* last) {
  static const bool usable = __builtin_cpu_supports("ssse3");  // which has SSE2 too
  return usable ? escapeShuffled(data, length, out, all, last) : 0;
}

int zDecodeWide(const uint8_t* p, int count, uint8_t* out, int room, bool escapeAll, int* made) {
  *made = 0;
  return hasSse2() ? decodeBlocks(p, count, out, room, escapeAll, made) : 0;
}

int zPlainWide(const uint8_t* p, int count, bool escapeAll) {
  return hasSse2() ? plainBlocks(p, count, escapeAll) : 0;
}
#else
int zEscapeWide(const uint8_t*, int, uint8_t**, bool, uint8_t*) { return 0; }
int zDecodeWide(const uint8_t*, int, uint8_t*, int, bool, int* made) {
  *made = 0;
  return 0;
}
int zPlainWide(const uint8_t*, int, bool) { return 0; }
#endif
