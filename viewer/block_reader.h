// The block reader: hands the decoder the file 1024 bytes at a time, waiting
// for each block to be announced while the file is still being received.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

constexpr int READER_BLOCK = 1024;

struct BlockReader {
  std::string path;
  uint8_t block[READER_BLOCK];
  int fill = 0;                  // bytes valid in block
  int position = READER_BLOCK;   // next byte to hand out; READER_BLOCK = used up
  int64_t offset = 0;            // file offset of the next block
  bool senderDone = false;       // no more waiting: the rest of the file is there
  bool blockAnnounced = false;   // the wait for the next block has already returned
  bool ended = false;            // a short block was read: the data ends here
  bool growing = false;          // the file is still being written (a feed)
  FILE* file = nullptr;          // kept open once the file is complete
};

void blockReaderReset(BlockReader& r, const std::string& path, bool growing = false);
void blockReaderClose(BlockReader& r);
// Copies up to count bytes into to. Returns the count copied, 0 at the end of
// the data, or a negative result: -1 after a shown failure, or the wait's
// -2 (close), -3 (Open) or -5 (feed withdrawn).
int blockRead(BlockReader& r, uint8_t* to, int count);

// Waits until one more block may be read (platform: the message loop of the
// viewer window; host: the test's or tool's script). Returns a WaitResult.
int viewerWaitData();
