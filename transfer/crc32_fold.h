#pragma once
#include <cstdint>

// CRC-32 (reflected, polynomial 0xEDB88320) over the leading 16-byte blocks of
// data by carry-less multiplication: crc is the running register, as in a
// table step. Returns how many bytes it took, a multiple of 16; 0 for fewer
// than 64 bytes or on a processor without the instruction (the caller's
// table loop takes the rest).
int crc32Fold(uint32_t* crc, const uint8_t* data, int length);
