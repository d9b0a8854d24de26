// jpegdecode FILE OUT.bmp [--feed BLOCK]: runs the viewer's decode path (block
// reader, library set-up, 256-colour output) and writes the picture as an
// 8-bit palette BMP. With --feed the file grows BLOCK bytes at a time beside
// the output and the decoder is fed as a receiving program would feed it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shell/message_box_posix.h"
#include "viewer/feed_receive.h"
#include "viewer/host_posix.h"
#include "viewer/jpeg_decode.h"

namespace {
void put16(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

bool writeBmp(const ViewerImage& image, const char* path) {
  std::vector<uint8_t> out;
  uint32_t offset = 14 + 40 + 256 * 4;
  out.push_back('B');
  out.push_back('M');
  put32(out, offset + static_cast<uint32_t>(image.bitsSize));
  put32(out, 0);
  put32(out, offset);
  put32(out, 40);
  put32(out, static_cast<uint32_t>(image.width));
  put32(out, static_cast<uint32_t>(image.height));
  put16(out, 1);
  put16(out, 8);
  put32(out, 0);
  put32(out, static_cast<uint32_t>(image.bitsSize));
  put32(out, 0);
  put32(out, 0);
  put32(out, 256);
  put32(out, 256);
  for (int i = 0; i < 256; ++i) {
    out.push_back(image.palette[i][2]);
    out.push_back(image.palette[i][1]);
    out.push_back(image.palette[i][0]);
    out.push_back(0);
  }
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  bool ok = fwrite(out.data(), 1, out.size(), f) == out.size() &&
            fwrite(image.bits, 1, image.bitsSize, f) == image.bitsSize;
  return fclose(f) == 0 && ok;
}

std::vector<uint8_t> readAll(const char* path, bool* ok) {
  std::vector<uint8_t> data;
  FILE* f = fopen(path, "rb");
  *ok = f != nullptr;
  if (!f) return data;
  uint8_t buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
  fclose(f);
  return data;
}

// The growing copy: BLOCK bytes appended per step, one announcement for
// every 1024 bytes complete, the sender's terminate once all is written.
struct GrowingFile {
  std::vector<uint8_t> data;
  std::string path;
  size_t written = 0;
  size_t announced = 0;
  size_t block = 1024;
};
GrowingFile growing;
constexpr FeedWindow SENDER = 1;

void appendStep() {
  size_t n = growing.data.size() - growing.written;
  if (n > growing.block) n = growing.block;
  FILE* f = fopen(growing.path.c_str(), "ab");
  if (f) {
    fwrite(growing.data.data() + growing.written, 1, n, f);
    fclose(f);
  }
  growing.written += n;
}

FeedEvent nextFeedEvent(FeedWindow* from) {
  *from = SENDER;
  while (growing.written < growing.data.size() && growing.written - growing.announced < READER_BLOCK)
    appendStep();
  if (growing.written > growing.announced) {
    size_t step = growing.written - growing.announced;
    growing.announced += step < READER_BLOCK ? step : READER_BLOCK;
    return FeedEvent::Execute;
  }
  return FeedEvent::Terminate;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && strcmp(argv[3], "--feed") == 0)) {
    fprintf(stderr, "usage: jpegdecode FILE OUT.bmp [--feed BLOCK]\n");
    return 64;
  }
  std::string path = argv[1];
  feedReceiverReset(viewerFeed, 2);
  if (argc == 5) {
    long block = strtol(argv[4], nullptr, 10);
    bool ok = false;
    growing.data = readAll(argv[1], &ok);
    if (!ok || block <= 0) {
      fprintf(stderr, "jpegdecode: cannot read %s or bad block size\n", argv[1]);
      return 64;
    }
    growing.block = static_cast<size_t>(block);
    growing.path = std::string(argv[2]) + ".feed.jpg";
    remove(growing.path.c_str());
    FILE* f = fopen(growing.path.c_str(), "wb");
    if (f) fclose(f);
    path = growing.path;
    feedAcceptInitiate(viewerFeed, "GlintJPEG", path, SENDER);
    viewerFeed.fedDecode = true;
    viewerWaitScript(nextFeedEvent);
  }
  BlockReader reader;
  blockReaderReset(reader, path, argc == 5);
  ViewerImage image;
  int result = decodeJpeg(reader, image);
  if (argc == 5) {
    feedDecodeFinished(viewerFeed);
    remove(growing.path.c_str());
  }
  for (const ShownMessage& m : messagesShown()) fprintf(stderr, "%s\n", m.text.c_str());
  if (result != DECODE_DONE) return 1;
  bool written = writeBmp(image, argv[2]);
  imageFree(image);
  if (!written) {
    fprintf(stderr, "jpegdecode: cannot write %s\n", argv[2]);
    return 1;
  }
  return messagesShown().empty() ? 0 : 2;
}
