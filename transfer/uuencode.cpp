#include "transfer/uucode.h"

#include <cstdio>
#include <cstring>

#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "transfer/text_convert.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"

namespace {
char encodeSixBits(int v) { return static_cast<char>((v & 0x3F) + 32); }

// The parts' common stem: the path without extension, the name cut to 7
// characters so "name" + part number + ".uue" stays an 8.3 name.
bool partStem(const char* path, char* out, size_t size) {
  char stem[TRANSFER_PATH_MAX];
  if (!pathWithExtension(path, "", stem, sizeof stem)) return false;
  size_t dir = static_cast<size_t>(baseName(stem) - stem);
  size_t name = std::strlen(stem + dir);
  if (name > 7) stem[dir + 7] = 0;
  return std::snprintf(out, size, "%s", stem) < static_cast<int>(size);
}

FILE* openPart(const char* stem, int number) {
  char name[TRANSFER_PATH_MAX + 16];
  std::snprintf(name, sizeof name, "%s%d.uue", stem, number);
  return std::fopen(name, "wb");
}

// One line: length character, four characters per three bytes (a short
// chunk padded with zeros), CR LF.
int encodeLine(const uint8_t* chunk, int n, char* line) {
  uint8_t padded[UU_LINE_BYTES] = {};
  std::memcpy(padded, chunk, static_cast<size_t>(n));
  int o = 0;
  line[o++] = encodeSixBits(n);
  for (int i = 0; i < n; i += 3) {
    const uint8_t* g = padded + i;
    line[o++] = encodeSixBits(g[0] >> 2);
    line[o++] = encodeSixBits((g[0] << 4) | (g[1] >> 4));
    line[o++] = encodeSixBits((g[1] << 2) | (g[2] >> 6));
    line[o++] = encodeSixBits(g[2]);
  }
  line[o++] = '\r';
  line[o++] = '\n';
  return o;
}
}  // namespace

int uuencodeFile(const char* path) {
  char stem[TRANSFER_PATH_MAX];
  if (!path || !partStem(path, stem, sizeof stem)) return XFER_FILE_OPEN;
  FILE* in = std::fopen(path, "rb");
  if (!in) return XFER_FILE_OPEN;
  int part = 1;
  FILE* out = openPart(stem, part);
  if (!out) {
    std::fclose(in);
    return XFER_FILE_OPEN;
  }
  bool ok = std::fprintf(out, "begin 600 %s\r\n", baseName(path)) > 0;
  uint8_t chunk[UU_LINE_BYTES];
  char line[2 + UU_LINE_BYTES / 3 * 4 + 2];
  int lines = 0;
  size_t n;
  while (ok && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
    int length = encodeLine(chunk, static_cast<int>(n), line);
    ok = std::fwrite(line, 1, static_cast<size_t>(length), out) == static_cast<size_t>(length);
    // A full part is closed at once, so input that ends here still gets a
    // last part of its own holding only the end lines.
    if (ok && ++lines == UU_PART_LINES) {
      lines = 0;
      ok = std::fclose(out) == 0;
      out = ok ? openPart(stem, ++part) : nullptr;
      ok = out && std::fputs("BEGIN\r\n", out) >= 0;
    }
  }
  if (std::ferror(in)) ok = false;
  std::fclose(in);
  if (out) {
    ok = ok && std::fputs("`\r\nend\r\n", out) >= 0;
    if (std::fclose(out) != 0) ok = false;
  }
  return ok ? part : XFER_FILE_WRITE;
}

int uuencodeCommand(const char* path) {
  int message = MSG_ENCODING_CANCELLED;
  if (path && path[0]) message = uuencodeFile(path) > 0 ? MSG_ENCODING_COMPLETE : TXT_FILE_OPEN_ERROR;
  messageBox(message, nullptr, MSG_OK);
  return message;
}
