#include "transfer/crc32_fold.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#include <wmmintrin.h>

namespace {
// x^n mod P for the fold distances (512+32 / 512-32 bits, 128+32 / 128-32
// bits, 64), bit-reflected; then P itself and the Barrett constant.
alignas(16) const uint64_t FOLD_BY_4[2] = {0x0154442bd4ull, 0x01c6e41596ull};
alignas(16) const uint64_t FOLD_BY_1[2] = {0x01751997d0ull, 0x00ccaa009eull};
alignas(16) const uint64_t FOLD_TO_64[2] = {0x0163cd6124ull, 0};
alignas(16) const uint64_t BARRETT[2] = {0x01db710641ull, 0x01f7011641ull};

__attribute__((target("pclmul,sse2"))) __m128i load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

__attribute__((target("pclmul,sse2"))) __m128i foldInto(__m128i acc, __m128i k, __m128i next) {
  __m128i low = _mm_clmulepi64_si128(acc, k, 0x00);
  __m128i high = _mm_clmulepi64_si128(acc, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

__attribute__((target("pclmul,sse2"))) uint32_t foldBlocks(uint32_t crc, const uint8_t* p, int length) {
  __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = load(p + 16), x3 = load(p + 32), x4 = load(p + 48);
  p += 64;
  length -= 64;
  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(FOLD_BY_4));
  for (; length >= 64; p += 64, length -= 64) {
    x1 = foldInto(x1, k, load(p));
    x2 = foldInto(x2, k, load(p + 16));
    x3 = foldInto(x3, k, load(p + 32));
    x4 = foldInto(x4, k, load(p + 48));
  }
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(FOLD_BY_1));
  x1 = foldInto(x1, k, x2);
  x1 = foldInto(x1, k, x3);
  x1 = foldInto(x1, k, x4);
  for (; length >= 16; p += 16, length -= 16) x1 = foldInto(x1, k, load(p));

  // 128 bits to 64, then the Barrett reduction to 32.
  const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
  x2 = _mm_clmulepi64_si128(x1, k, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
  k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(FOLD_TO_64));
  x2 = _mm_srli_si128(x1, 4);
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x00), x2);
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(BARRETT));
  x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x10);
  x2 = _mm_clmulepi64_si128(_mm_and_si128(x2, low32), k, 0x00);
  x1 = _mm_xor_si128(x1, x2);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}
}  // namespace

int crc32Fold(uint32_t* crc, const uint8_t* data, int length) {
  static const bool usable = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
  if (!usable || length < 64) return 0;
  int taken = length & ~15;
  *crc = foldBlocks(*crc, data, taken);
  return taken;
}
#else
int crc32Fold(uint32_t*, const uint8_t*, int) { return 0; }
#endif
