// "A" packets: the file's attributes as tag, tochar(length), value. Only the
// lengths matter here: "!" in K and "1" in bytes.
#pragma once
#include <cstddef>
#include <cstdint>

struct KermitFileSize {
  uint32_t bytes = 0;
  bool known = false;
  bool approximate = false;  // only the size in K was given
};

// Writes the length attributes of a file of size bytes; returns the count
// (at most 32 characters).
size_t kermitWriteAttributes(uint32_t size, uint8_t* out);
KermitFileSize kermitReadAttributes(const uint8_t* data, size_t n);
