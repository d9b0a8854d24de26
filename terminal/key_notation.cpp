// The key-map editor's notation for key strings.
#include <cstdio>
#include <cstring>

#include "terminal/keymap.h"

static int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int keyTextToBytes(const char* text, uint8_t out[KEYMAP_SLOT_BYTES]) {
  std::memset(out, 0, KEYMAP_SLOT_BYTES);
  int n = 0;
  // The whole text is checked even past 15 bytes, so a bad escape is never
  // stored silently cut off.
  for (const char* p = text; p && *p; ++p) {
    uint8_t b;
    if (*p == '^' && p[1]) {
      b = static_cast<uint8_t>(p[1] - 64);
      ++p;
    } else if (*p == '\\') {
      int hi = hexDigit(p[1]);
      int lo = hi < 0 ? -1 : hexDigit(p[2]);
      if (lo < 0) return -1;
      b = static_cast<uint8_t>(hi * 16 + lo);
      p += 2;
    } else {
      b = static_cast<uint8_t>(*p);
    }
    if (n < KEYMAP_SLOT_BYTES - 1) out[n++] = b;
  }
  return n;
}

void keyBytesToText(const uint8_t* bytes, int length, char* out, int outSize) {
  if (!out || outSize <= 0) return;
  int n = 0;
  out[0] = 0;
  for (int i = 0; i < length && bytes[i]; ++i) {
    uint8_t b = bytes[i];
    char piece[4];
    // "^" and "\" are shown in hex form, so reading the text back gives them again.
    if (b < 0x20) std::snprintf(piece, sizeof piece, "^%c", b + 64);
    else if (b >= 0x7F || b == '^' || b == '\\') std::snprintf(piece, sizeof piece, "\\%02x", b);
    else std::snprintf(piece, sizeof piece, "%c", b);
    int len = static_cast<int>(std::strlen(piece));
    if (n + len >= outSize) break;
    std::memcpy(out + n, piece, len + 1);
    n += len;
  }
}
