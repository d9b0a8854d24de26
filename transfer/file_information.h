// The file information a ZMODEM sender puts in its ZFILE subpacket.
#pragma once
#include <cstdint>

// Writes name NUL size SP mtime SP mode NUL into out (at most room bytes):
// the size in decimal, the modification time (seconds since 1970, UTC) and
// the mode in octal, as receivers read them with "%lu%lo%o". The time is 0
// (unknown) when the file cannot be examined. Returns the length written
// (the closing NUL included), or -1 when the information does not fit.
int zmodemFileInformation(const char* path, const char* name, uint32_t size, uint8_t* out, int room);
