#include "transfer/text_convert.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "shell/message_box.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_settings.h"

bool pathWithExtension(const char* path, const char* ext, char* out, size_t outSize) {
  const char* base = baseName(path);
  const char* dot = std::strrchr(base, '.');
  size_t stem = dot ? static_cast<size_t>(dot - path) : std::strlen(path);
  size_t extLength = std::strlen(ext);
  if (stem + extLength + 1 > outSize) return false;
  std::memcpy(out, path, stem);
  std::memcpy(out + stem, ext, extLength + 1);
  return true;
}

static bool sameNameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

namespace {
// The line-end state carried from one block to the next, so a CR LF split by
// a block boundary is seen as one line end.
struct LineEnds {
  bool toDos;
  int previous;
};

int convertBlock(LineEnds& ends, const uint8_t* in, int n, uint8_t* out) {
  int o = 0;
  for (int i = 0; i < n; ++i) {
    uint8_t b = in[i];
    if (ends.toDos) {
      if (b == '\n' && ends.previous != '\r') out[o++] = '\r';
      out[o++] = b;
    } else if (b != '\r') {
      out[o++] = b;
    }
    ends.previous = b;
  }
  return o;
}

int convertFile(const char* path, bool toDos) {
  char target[TRANSFER_PATH_MAX];
  if (!pathWithExtension(path, toDos ? ".dos" : ".unx", target, sizeof target)) return XFER_FILE_OPEN;
  if (sameNameIgnoringCase(path, target)) {
    messageBox(MSG_WRONG_TYPE, nullptr, MSG_OK);
    return XFER_FILE_OPEN;
  }
  FILE* in = std::fopen(path, "rb");
  if (!in) return XFER_FILE_OPEN;
  FILE* out = std::fopen(target, "wb");
  if (!out) {
    std::fclose(in);
    return XFER_FILE_OPEN;
  }
  uint8_t block[1024];
  uint8_t work[2048];  // every byte an LF that gains a CR
  LineEnds ends{toDos, -1};
  int r = 0;
  size_t n;
  while (r == 0 && (n = std::fread(block, 1, sizeof block, in)) > 0) {
    int length = convertBlock(ends, block, static_cast<int>(n), work);
    if (std::fwrite(work, 1, static_cast<size_t>(length), out) != static_cast<size_t>(length)) r = XFER_FILE_WRITE;
  }
  if (std::ferror(in)) r = XFER_FILE_READ;
  std::fclose(in);
  if (std::fclose(out) != 0 && r == 0) r = XFER_FILE_WRITE;
  return r;
}
}  // namespace

int unixToDos(const char* path) { return convertFile(path, true); }
int dosToUnix(const char* path) { return convertFile(path, false); }

int convertBatch(const BatchList& files, bool toDos) {
  int message = MSG_CONVERSION_COMPLETE;
  if (batchCount(files) == 0) message = MSG_CONVERSION_CANCELLED;
  for (int i = 0; i < batchCount(files) && message == MSG_CONVERSION_COMPLETE; ++i)
    if (convertFile(batchPath(files, i), toDos) < 0) message = MSG_TRANSLATION_ERROR;
  messageBox(message, nullptr, MSG_OK);
  return message;
}
