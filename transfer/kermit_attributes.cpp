#include "transfer/kermit_attributes.h"

#include <cstdio>
#include <cstring>

#include "transfer/kermit_packet.h"

namespace {

size_t writeNumber(uint8_t tag, uint32_t value, uint8_t* out) {
  char digits[16];
  int len = std::snprintf(digits, sizeof digits, "%lu", static_cast<unsigned long>(value));
  out[0] = tag;
  out[1] = kermitToChar(len);
  std::memcpy(out + 2, digits, size_t(len));
  return size_t(len) + 2;
}

// Decimal digits only, saturating: a value from the line never wraps.
uint32_t readNumber(const uint8_t* s, size_t n, bool* ok) {
  uint64_t v = 0;
  *ok = n > 0;
  for (size_t i = 0; i < n; i++) {
    if (s[i] < '0' || s[i] > '9') {
      *ok = false;
      return 0;
    }
    v = v * 10 + (s[i] - '0');
    if (v > 0xFFFFFFFFu) v = 0xFFFFFFFFu;
  }
  return uint32_t(v);
}

}  // namespace

size_t kermitWriteAttributes(uint32_t size, uint8_t* out) {
  size_t k = writeNumber('!', size / 1024, out);
  return k + writeNumber('1', size, out + k);
}

KermitFileSize kermitReadAttributes(const uint8_t* data, size_t n) {
  KermitFileSize result;
  size_t i = 0;
  while (i + 2 <= n) {
    uint8_t tag = data[i];
    int len = kermitUnChar(data[i + 1]);
    i += 2;
    if (len < 0 || size_t(len) > n - i) break;
    bool ok = false;
    uint32_t v = readNumber(data + i, size_t(len), &ok);
    if (ok && tag == '1') {
      result.bytes = v;
      result.known = true;
      result.approximate = false;
    } else if (ok && tag == '!' && !(result.known && !result.approximate)) {
      // The size in K is rounded either way by different senders; (K - 1) K
      // is a floor, and K = 0 means a file under 1 KiB, not a wrapped count.
      uint64_t bytes = v == 0 ? 0 : (uint64_t(v) - 1) * 1024;
      result.bytes = bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(bytes);
      result.known = true;
      result.approximate = true;
    }
    i += size_t(len);
  }
  return result;
}
