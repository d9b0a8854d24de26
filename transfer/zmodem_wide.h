#pragma once
#include <cstdint>

// The vector paths of ZMODEM's escaping and decoding. Each takes what it can
// of the input in whole sixteen-byte blocks and returns how many bytes it
// took: 0 on a processor without the instructions. The byte loops of the
// caller take the rest.

// Escapes data into *out (advanced past what was written; room for twice the
// input and sixteen more). all: every control byte is escaped. *last is the
// last byte written before and after: a CR after "@" is escaped.
int zEscapeWide(const uint8_t* data, int length, uint8_t** out, bool all, uint8_t* last);

// Decodes subpacket data into out (room bytes) up to the first byte that is
// not plain data or a ZDLE pair: a subpacket end, a flow byte, a CAN run.
// *made: the bytes decoded.
int zDecodeWide(const uint8_t* p, int count, uint8_t* out, int room, bool escapeAll, int* made);

// Leading bytes that decode to themselves, scanned sixteen at a time: a
// multiple of sixteen, or the position of the first byte that does not.
int zPlainWide(const uint8_t* p, int count, bool escapeAll);
