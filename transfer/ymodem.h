// YMODEM batch and YMODEM-G: a header block names each file, a header with
// an empty name ends the batch.
#pragma once
#include <cstdint>

int ymodemReceiveStep();
int ymodemGReceiveStep();
// Send the batch list of the current TransferState.
int ymodemSend();
int ymodemGSend();

struct YmodemHeader {
  char name[129];  // empty: end of batch
  uint32_t size;   // 0: unknown
};
// Reads the 128 data bytes of a header block. The name ends at the first NUL
// or at the end of the block; the size (decimal) follows the NUL when present.
YmodemHeader parseYmodemHeader(const uint8_t data[128]);
// Writes the header of a file: base name, NUL, size in decimal, NUL, zeros.
// An empty name gives the end-of-batch block.
void buildYmodemHeader(const char* name, uint32_t size, uint8_t data[128]);
