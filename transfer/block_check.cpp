#include "transfer/block_check.h"

namespace {
// Table of the bit-by-bit CRC for every byte value; built at compile time.
struct CrcTable {
  uint16_t v[256];
  constexpr CrcTable() : v() {
    for (int i = 0; i < 256; ++i) {
      uint16_t crc = static_cast<uint16_t>(i << 8);
      for (int bit = 0; bit < 8; ++bit)
        crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
      v[i] = crc;
    }
  }
};
constexpr CrcTable table;
}  // namespace

uint16_t crc16(const uint8_t* data, int length) {
  uint16_t crc = 0;
  for (int i = 0; i < length; ++i)
    crc = static_cast<uint16_t>((crc << 8) ^ table.v[((crc >> 8) ^ data[i]) & 0xFF]);
  return crc;
}

uint8_t checksum8(const uint8_t* data, int length) {
  uint8_t sum = 0;
  for (int i = 0; i < length; ++i) sum = static_cast<uint8_t>(sum + data[i]);
  return sum;
}
