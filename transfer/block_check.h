// The checks of the block protocols.
#pragma once
#include <cstdint>

// CRC-16 with polynomial 0x1021, initial value 0, no reflection; sent high byte first.
uint16_t crc16(const uint8_t* data, int length);
// The 8-bit arithmetic sum of the bytes.
uint8_t checksum8(const uint8_t* data, int length);
