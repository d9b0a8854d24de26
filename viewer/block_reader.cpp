#include "viewer/block_reader.h"

#include <cstdio>
#include <cstring>

#include "shell/message_box.h"
#include "viewer/feed_receive.h"
#include "viewer/viewer_text.h"

void blockReaderReset(BlockReader& r, const std::string& path, bool growing) {
  blockReaderClose(r);
  r.path = path;
  r.growing = growing;
  r.fill = 0;
  r.position = READER_BLOCK;
  r.offset = 0;
  r.senderDone = false;
  r.blockAnnounced = false;
  r.ended = false;
}

void blockReaderClose(BlockReader& r) {
  if (r.file) fclose(r.file);
  r.file = nullptr;
}

namespace {
int fail(const char* text) {
  messageBoxText(text, MSG_OK);
  return -1;
}

// While the file grows it is opened and closed around every block, so that
// the program writing it can open it again between blocks; a complete file
// stays open.
int readNextBlock(BlockReader& r) {
  FILE* f = r.file ? r.file : fopen(r.path.c_str(), "rb");
  if (!f) return fail(TEXT_OPEN_FAILED);
  if (!r.file && (r.offset > 0x7FFFFFFF || fseek(f, static_cast<long>(r.offset), SEEK_SET) != 0)) {
    fclose(f);
    return fail(TEXT_SEEK_FAILED);
  }
  size_t got = fread(r.block, 1, READER_BLOCK, f);
  bool error = ferror(f) != 0;
  if (r.growing && !r.senderDone) {
    fclose(f);
  } else {
    r.file = f;
  }
  // Nothing more at the end of the file is the end of the data, which the
  // decoder reports itself; only a failing read is the reader's message.
  if (got == 0 && error) {
    blockReaderClose(r);
    char text[96];
    snprintf(text, sizeof text, TEXT_READ_FAILED, 0, static_cast<int>(r.offset));
    return fail(text);
  }
  r.fill = static_cast<int>(got);
  r.offset += static_cast<int64_t>(got);
  r.position = 0;
  if (r.fill < READER_BLOCK) r.ended = true;
  return 0;
}
}  // namespace

int blockRead(BlockReader& r, uint8_t* to, int count) {
  if (count <= 0) return 0;
  if (r.position >= r.fill) {
    if (r.ended) return 0;
    if (!r.senderDone && !r.blockAnnounced) {
      int waited = viewerWaitData();
      if (waited == WAIT_COMPLETE) r.senderDone = true;
      else if (waited != WAIT_BLOCK) return waited;
    }
    r.blockAnnounced = false;
    int read = readNextBlock(r);
    if (read < 0) {
      r.ended = true;
      return read;
    }
  }
  int n = r.fill - r.position;
  if (n > count) n = count;
  memcpy(to, r.block + r.position, static_cast<size_t>(n));
  r.position += n;
  return n;
}
