#include "transfer/kermit_prefix.h"

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
  size_t used = 0;
  size_t length = 0;
  uint8_t seq[8];
  while (used < n) {
    size_t run = 1;
    if (p.rept)
      while (run < 94 && used + run < n && src[used + run] == src[used]) run++;
    size_t k = 0;
    if (run >= 3) {
      seq[k++] = p.rept;
      seq[k++] = uint8_t(run + 32);
    } else {
      run = 1;
    }
    k += encodeByte(p, src[used], seq + k);
    if (length + k > outCap) break;
    for (size_t j = 0; j < k; j++) out[length + j] = seq[j];
    length += k;
    used += run;
  }
  *outLength = length;
  return used;
}

void kermitDecode(const KermitPrefixing& p, const uint8_t* data, size_t n,
                  std::vector<uint8_t>& out) {
  // Room for the longest result first, so the bytes go through a plain
  // pointer: a repeat sequence of 3 characters stands for at most 94 bytes.
  size_t base = out.size();
  out.resize(base + (p.rept ? (n / 3 + 1) * 94 : n));
  uint8_t* o = out.data() + base;
  size_t i = 0;
  while (i < n) {
    uint8_t c = data[i++];
    if (c != p.rept && c != p.qbin && c != p.qctl) {
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
    for (int j = 0; j < repeat; j++) *o++ = c;
  }
  out.resize(size_t(o - out.data()));
}
