// Pieces the XMODEM and YMODEM engines share: collecting one frame from the
// line, the receive start and retries, and building a frame to send.
#pragma once
#include <cstdint>

#include "transfer/transfer_state.h"

enum FrameStatus { FRAME_INCOMPLETE = 0, FRAME_READY = 1, FRAME_EOT = 2 };

// Collects the frame that starts in the line: skips bytes until SOH, STX or
// EOT, then reads only what the frame still needs. sohLength is 132 or 133;
// STX frames (1029) only when acceptStx, else -3. Returns a FrameStatus or a
// negative code (LINK_LOST, -3).
int collectFrame(TransferState& s, int sohLength, bool acceptStx);

// Data length of the collected frame (128 or 1024).
int frameDataLength(const TransferState& s);
// Whether the collected frame's check is right (CRC-16 or the sum).
bool frameCheckOk(const TransferState& s, bool crc);

// Receive start: expected block (1 for XMODEM, 0 for YMODEM) and the start signal.
int blockReceiveBegin();
// After a bad frame: the rest of it is dropped and NAK asks for it again.
void blockReceiveRetry();
// After 27 s of silence: NAK, or the start signal while no block arrived yet,
// so a sender that missed the first "C" still gets one.
void blockReceiveTimeout();
// An EOT: the first is answered with NAK, the repeat confirms it (a damaged
// byte must not end a file). True when confirmed.
bool confirmEot(TransferState& s);

// Writes a frame into s.sendFrame: start byte (SOH for 128, STX for 1024),
// block number, complement, data (length bytes of it taken from data, the
// rest padding) and the check. Returns the frame length.
int buildFrame(TransferState& s, uint8_t block, const uint8_t* data, int length, int blockSize, bool crc,
               uint8_t padding);
// The received data a block adds to the file: all of it, or only up to the
// size the header announced.
int blockBytesToKeep(const TransferState& s, int dataLength);
// Appends a received block to localPath and moves the counters and the
// display on. 0 or -4/-5.
int storeBlock(TransferState& s, const uint8_t* data, int dataLength);
