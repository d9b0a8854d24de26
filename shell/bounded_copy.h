// Copies a text into a fixed buffer: at most size - 1 characters, always
// terminated; a null source reads as the empty text.
#pragma once
#include <cstddef>
#include <cstring>

inline void copyBounded(char* to, size_t size, const char* from) {
  if (!to || size == 0) return;
  size_t n = from ? strnlen(from, size - 1) : 0;
  if (n) memcpy(to, from, n);
  to[n] = '\0';
}
