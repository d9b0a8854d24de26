#include "transfer/block_check.h"

namespace {
// v[0] is the bit-by-bit CRC of every byte value; v[k] the same byte followed
// by k zero bytes, so that eight bytes fold in at once. Built at compile time.
struct CrcTables {
  uint16_t v[8][256];
  constexpr CrcTables() : v() {
    for (int i = 0; i < 256; ++i) {
      uint16_t crc = static_cast<uint16_t>(i << 8);
      for (int bit = 0; bit < 8; ++bit)
        crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
      v[0][i] = crc;
    }
    for (int k = 1; k < 8; ++k)
      for (int i = 0; i < 256; ++i)
        v[k][i] = static_cast<uint16_t>((v[k - 1][i] << 8) ^ v[0][v[k - 1][i] >> 8]);
  }
};
constexpr CrcTables tables;
}  // namespace

// A byte at a time costs two microseconds a block on both ends of every
// stop-and-wait round trip; eight at a time, a fraction of that.
uint16_t crc16(const uint8_t* data, int length) {
  const auto& t = tables.v;
  uint16_t crc = 0;
  int i = 0;
  for (; i + 8 <= length; i += 8) {
    const uint8_t* d = data + i;
    uint16_t x = static_cast<uint16_t>(crc ^ (d[0] << 8 | d[1]));
    crc = static_cast<uint16_t>(t[7][x >> 8] ^ t[6][x & 0xFF] ^ t[5][d[2]] ^ t[4][d[3]] ^ t[3][d[4]] ^ t[2][d[5]] ^
                                t[1][d[6]] ^ t[0][d[7]]);
  }
  for (; i < length; ++i) crc = static_cast<uint16_t>((crc << 8) ^ t[0][((crc >> 8) ^ data[i]) & 0xFF]);
  return crc;
}

uint8_t checksum8(const uint8_t* data, int length) {
  uint8_t sum = 0;
  for (int i = 0; i < length; ++i) sum = static_cast<uint8_t>(sum + data[i]);
  return sum;
}
