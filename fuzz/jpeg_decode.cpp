// Any file opened in the viewer, whole or fed block by block: the decode ends
// with a picture or a message, and never reads or writes outside its buffers.
// Pictures over a few million pixels are skipped: they are valid, only slow.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "shell/message_box_posix.h"
#include "tests/support/file_text.h"
#include "viewer/feed_receive.h"
#include "viewer/host_posix.h"
#include "viewer/jpeg_decode.h"

namespace {
bool tooLarge(const uint8_t* data, size_t size) {
  for (size_t i = 0; i + 8 < size; ++i)
    if (data[i] == 0xFF && data[i + 1] >= 0xC0 && data[i + 1] <= 0xCF && data[i + 1] != 0xC4 &&
        data[i + 1] != 0xC8 && data[i + 1] != 0xCC) {
      long h = data[i + 5] << 8 | data[i + 6], w = data[i + 7] << 8 | data[i + 8];
      if (h * w > 4000000L) return true;
    }
  return false;
}

// Every block announced, the last one short or empty, then the sender's end.
size_t announced, total;
FeedEvent nextBlock(FeedWindow* from) {
  *from = 1;
  if (announced > total) return FeedEvent::Terminate;
  announced += 1024;
  return FeedEvent::Execute;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 200000 || tooLarge(data, size)) return 0;
  static const std::string path = "/tmp/fuzz-jpeg-" + std::to_string(getpid()) + ".jpg";
  writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
  for (bool fed : {false, true}) {
    messagesClear();
    feedReceiverReset(viewerFeed, 2);
    announced = 0;
    total = size;
    if (fed) {
      feedAcceptInitiate(viewerFeed, "GlintJPEG", path, 1);
      viewerFeed.fedDecode = true;
    }
    viewerWaitScript(fed ? nextBlock : nullptr);
    BlockReader reader;
    blockReaderReset(reader, path, fed);
    ViewerImage image;
    int result = decodeJpeg(reader, image);
    if (result == DECODE_DONE && (!image.bits || image.rowsDone != image.height)) __builtin_trap();
    if (result != DECODE_DONE && (image.bits || messagesShown().empty())) __builtin_trap();
    imageFree(image);
  }
  return 0;
}
