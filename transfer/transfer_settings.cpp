#include "transfer/transfer_settings.h"

#include "transfer/protocol_table.h"

static_assert(TRANSFER_PROTOCOLS == PROTOCOL_COUNT, "the profile clamps the protocol to the table");

int caretByte(const char* field) {
  if (!field || !field[0]) return -1;
  if (field[0] == '^' && field[1]) return (static_cast<unsigned char>(field[1]) - 64) & 0xFF;
  return static_cast<unsigned char>(field[0]);
}
