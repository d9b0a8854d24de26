#include "transfer/kermit_prefix.h"

#include <cstring>

namespace {

// Writes one byte's sequence (without a repeat prefix); returns its length.
size_t encodeByte(const KermitPrefixing& p, uint8_t c, uint8_t* out) {
  size_t k = 0;
  if (p.qbin && (c & 0x80)) {
    out[k++] = p.qbin;
    c &= 0x7F;
  }
  uint8_t low = c & 0x7F;
  // Bytes 0x80-0x9F and 0xFF are controls too when sent without the
  // eight-bit prefix: a line that eats C1 controls must not see them bare.
  if (low < 32 || low == 127) {
    out[k++] = p.qctl;
    out[k++] = c ^ 0x40;
  } else if (low == p.qctl || (p.qbin && low == p.qbin) || (p.rept && low == p.rept)) {
    out[k++] = p.qctl;
    out[k++] = c;
  } else {
    out[k++] = c;
  }
  return k;
}

}  // namespace

size_t kermitEncode(const KermitPrefixing& p, const uint8_t* src, size_t n, uint8_t* out,
                    size_t outCap, size_t* outLength) {
  // Every byte's sequence worked out once, not once per byte.
  uint8_t sequence[256][4];
  uint8_t sequenceLength[256];
  for (int c = 0; c < 256; c++) sequenceLength[c] = uint8_t(encodeByte(p, uint8_t(c), sequence[c]));
  const uint8_t rept = p.rept;
  size_t used = 0;
  size_t length = 0;
  while (used < n) {
    uint8_t c = src[used];
    size_t run = 1;
    if (rept && used + 2 < n && src[used + 1] == c && src[used + 2] == c) {
      run = 3;
      while (run < 94 && used + run < n && src[used + run] == c) run++;
    }
    size_t k = sequenceLength[c];
    if (run >= 3) k += 2;
    if (length + k > outCap) break;
    uint8_t* o = out + length;
    if (run >= 3) {
      *o++ = rept;
      *o++ = uint8_t(run + 32);
    }
    // A whole sequence slot in one store where the room allows; what lies
    // past the sequence is overwritten by the next one or left unused.
    if (length + 6 <= outCap) std::memcpy(o, sequence[c], 4);
    else for (size_t j = 0; j < sequenceLength[c]; j++) o[j] = sequence[c][j];
    length += k;
    used += run;
  }
  *outLength = length;
  return used;
}

void kermitDecode(const KermitPrefixing& p, const uint8_t* data, size_t n,
                  std::vector<uint8_t>& out) {
  // The bytes go through a plain pointer. Room for one byte per character is
  // made first; only a repeat count, which stands for more, makes more.
  size_t base = out.size();
  out.resize(base + n);
  uint8_t* o = out.data() + base;
  uint8_t* end = out.data() + out.size();
  bool prefix[256] = {};
  prefix[p.qctl] = true;
  if (p.qbin) prefix[p.qbin] = true;
  if (p.rept) prefix[p.rept] = true;
  size_t i = 0;
  while (i < n) {
    uint8_t c = data[i++];
    if (!prefix[c]) {
      *o++ = c;
      continue;
    }
    int repeat = 1;
    if (p.rept && c == p.rept) {
      if (i + 1 >= n) break;
      repeat = int(data[i++]) - 32;
      if (repeat < 0 || repeat > 94) repeat = 0;
      c = data[i++];
    }
    uint8_t high = 0;
    if (p.qbin && c == p.qbin) {
      if (i >= n) break;
      high = 0x80;
      c = data[i++];
    }
    if (c == p.qctl) {
      if (i >= n) break;
      c = data[i++];
      uint8_t low = c & 0x7F;
      if (low >= 63 && low <= 95) c ^= 0x40;
    }
    c |= high;
    if (repeat == 1) {
      *o++ = c;
      continue;
    }
    // Keep room for every character still to come as well.
    if (size_t(end - o) < size_t(repeat) + (n - i)) {
      size_t at = size_t(o - out.data());
      out.resize(at + size_t(repeat) + (n - i));
      o = out.data() + at;
      end = out.data() + out.size();
    }
    for (int j = 0; j < repeat; j++) *o++ = c;
  }
  out.resize(size_t(o - out.data()));
}
