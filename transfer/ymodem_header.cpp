#include <cstdio>
#include <cstring>

#include "transfer/ymodem.h"

YmodemHeader parseYmodemHeader(const uint8_t data[128]) {
  YmodemHeader h{};
  int n = 0;
  while (n < 128 && data[n]) {
    h.name[n] = static_cast<char>(data[n]);
    ++n;
  }
  h.name[n] = 0;
  if (n + 1 >= 128) return h;
  int i = n + 1;
  while (i < 128 && data[i] == ' ') ++i;
  uint64_t size = 0;
  while (i < 128 && data[i] >= '0' && data[i] <= '9') {
    size = size * 10 + static_cast<uint64_t>(data[i] - '0');
    if (size > 0xFFFFFFFFu) size = 0xFFFFFFFFu;  // clamp a size no file of ours can have
    ++i;
  }
  h.size = static_cast<uint32_t>(size);
  return h;
}

void buildYmodemHeader(const char* name, uint32_t size, uint8_t data[128]) {
  std::memset(data, 0, 128);
  if (!name || !name[0]) return;
  char number[16];
  int digits = std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(size));
  // Name, NUL, size, NUL: a name too long for the block is cut.
  int room = 128 - digits - 2;
  int length = static_cast<int>(std::strlen(name));
  if (length > room) length = room;
  std::memcpy(data, name, static_cast<size_t>(length));
  std::memcpy(data + length + 1, number, static_cast<size_t>(digits));
}
