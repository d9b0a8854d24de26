// The data field of Kermit packets: control characters, bytes with bit 7 set
// (when eight-bit prefixing is agreed) and runs of one byte (when repeat counts
// are agreed) travel as short prefixed sequences of printable characters.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct KermitPrefixing {
  uint8_t qctl = '#';  // control prefix
  uint8_t qbin = 0;    // eight-bit prefix, 0 when not in use
  uint8_t rept = 0;    // repeat prefix, 0 when not in use
};

// Encodes bytes from src into out without splitting one byte's sequence and
// without passing outCap characters. Returns the source bytes taken;
// *outLength receives the characters written.
size_t kermitEncode(const KermitPrefixing& p, const uint8_t* src, size_t n, uint8_t* out,
                    size_t outCap, size_t* outLength);

// Appends the bytes a data field stands for to out. A prefix left dangling at
// the end and impossible repeat counts are dropped, never read past.
void kermitDecode(const KermitPrefixing& p, const uint8_t* data, size_t n,
                  std::vector<uint8_t>& out);
