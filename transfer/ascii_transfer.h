// Plain-text transfer: a file sent as characters with optional pacing, and
// characters captured into a file until an end character arrives.
#pragma once
#include <cstdint>

#include "transfer/transfer_settings.h"

constexpr int ASCII_BLOCK = 1024;
constexpr uint8_t ETX = 0x03;

// The characters a transfer works with: the initiate byte (NUL for an empty
// field) and the end byte, which only the caret form sets (-1: none).
struct AsciiChars {
  uint8_t initiate;
  int end;
};
AsciiChars asciiChars(const TransferSettings& settings);

// Receive start: sends the initiate byte and resets the capture buffer.
int asciiReceiveBegin();
// One receive step: 0, 2 when the end byte arrived (everything read is in the
// file), or a negative code.
int asciiReceiveStep();
// Writes the bytes still waiting in the capture buffer (closing the dialog of
// a receive that did not see its end byte). 0, -4 or -5.
int asciiReceiveFlush();
// Sends localPath: the initiate byte, the text, then the end byte or ETX.
// 0 or a negative code.
int asciiSend();
