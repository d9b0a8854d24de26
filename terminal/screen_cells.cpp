// Filling and copying stretches of a line's cells. In a file of their own so
// that no caller sees the bounds of the length: where it is known to be short
// the compiler puts string instructions inline, which start slowly, and the
// library calls are faster on the short stretches the receive path writes.
#include <cstring>

#include "terminal/screen.h"

void fillCells(uint8_t* p, uint8_t v, int n) { std::memset(p, v, static_cast<size_t>(n)); }

void copyCells(uint8_t* to, const uint8_t* from, int n) { std::memcpy(to, from, static_cast<size_t>(n)); }
