// Any file opened in the viewer, whole or fed block by block: the decode ends
// with a picture or a message, and never reads or writes outside its buffers.
// Large pictures are fuzzed too: the decode budget refuses what would not fit.
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
  if (size > 200000) return 0;
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
