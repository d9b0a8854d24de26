#include "transfer/uucode.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "shell/message_box.h"
#include "transfer/text_convert.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"

namespace {
enum LineKind { LINE_END, LINE_HEADER, LINE_SHORT, LINE_DATA };

struct Decoder {
  FILE* out;
  const char* path;  // the file being read
  int lineNumber;
  bool decodedHere;   // data lines already taken from this file
  bool askedHere;     // the over-long question was asked for this file
  bool cutLongLines;  // the user chose to go on: over-long lines are cut
};

// One line of at most UU_LINE_MAX characters without its CR LF; the rest of a
// longer line is dropped. -1 at the end of the file.
int readLine(FILE* f, char* line) {
  int c, n = 0;
  bool any = false;
  while ((c = std::fgetc(f)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (n < UU_LINE_MAX) line[n++] = static_cast<char>(c);
  }
  if (!any) return -1;
  if (n > 0 && line[n - 1] == '\r') --n;
  line[n] = 0;
  return n;
}

bool startsWithUpper(const char* line, const char* word) {
  for (; *word; ++line, ++word)
    if (std::toupper(static_cast<unsigned char>(*line)) != *word) return false;
  return true;
}

LineKind kindOf(const char* line, int length) {
  if (startsWithUpper(line, "END")) return LINE_END;
  if (startsWithUpper(line, "BEGIN") || startsWithUpper(line, "SECTION")) return LINE_HEADER;
  if (std::strcmp(line, "`") == 0) return LINE_END;
  return length < 2 ? LINE_SHORT : LINE_DATA;
}

int showLineMessage(const Decoder& d, const char* tail, unsigned style) {
  char extra[TRANSFER_PATH_MAX + 80];
  std::snprintf(extra, sizeof extra, "%d in file %s%s", d.lineNumber, d.path, tail);
  return messageBox(MSG_ILLEGAL_LINE, extra, style);
}

int decodeValue(char c) { return (static_cast<unsigned char>(c) - 32) & 0x3F; }

// A data line: the length character says how many bytes it carries and so
// how many characters to read; exactly that many bytes are written.
int decodeLine(Decoder& d, const char* line, int length) {
  int bytes = decodeValue(line[0]);
  int expected = (bytes + 2) / 3 * 4;
  if (length - 1 > expected && !d.cutLongLines) {
    d.askedHere = true;
    if (showLineMessage(d, "\n Do you wish to continue ?", MSG_YESNO | MSG_ICONQUESTION) != ANSWER_YES)
      return XFER_BAD_PACKET;
    d.cutLongLines = true;
  }
  // A length character says at most 63 bytes, more than the 45 of a full line.
  char chars[(63 + 2) / 3 * 4];
  std::memset(chars, ' ', sizeof chars);
  int have = length - 1 < expected ? length - 1 : expected;
  std::memcpy(chars, line + 1, static_cast<size_t>(have));
  uint8_t out[sizeof chars / 4 * 3];
  for (int i = 0, o = 0; i < expected; i += 4) {
    int a = decodeValue(chars[i]), b = decodeValue(chars[i + 1]);
    int c = decodeValue(chars[i + 2]), e = decodeValue(chars[i + 3]);
    out[o++] = static_cast<uint8_t>(a << 2 | b >> 4);
    out[o++] = static_cast<uint8_t>(b << 4 | c >> 2);
    out[o++] = static_cast<uint8_t>(c << 6 | e);
  }
  if (std::fwrite(out, 1, static_cast<size_t>(bytes), d.out) != static_cast<size_t>(bytes)) return XFER_FILE_WRITE;
  d.decodedHere = true;
  return 0;
}

// Reads lines up to the header a part starts with: "begin" in the first
// file, "BEGIN" in any case in the others.
bool findHeader(FILE* f, Decoder& d, bool first, char* line) {
  int length;
  while ((length = readLine(f, line)) >= 0) {
    ++d.lineNumber;
    if (first ? std::strncmp(line, "begin", 5) == 0 : startsWithUpper(line, "BEGIN")) return true;
  }
  return false;
}

// The output file: the third word of the "begin" line, reduced to its base
// name and put beside the input, whatever path the line carries.
bool outputPath(const char* input, const char* header, char* out, size_t size) {
  char words[3][UU_LINE_MAX + 1] = {};
  int found = std::sscanf(header, "%254s %254s %254s", words[0], words[1], words[2]);
  if (found < 3) return false;
  std::string dir(input, static_cast<size_t>(baseName(input) - input));
  return receivedFilePath(dir.c_str(), words[2], out, size) == 0;
}

enum FileOutcome { FILE_FINISHED, FILE_EXHAUSTED, FILE_FAILED };

FileOutcome decodeBody(FILE* f, Decoder& d, char* line) {
  int length;
  while ((length = readLine(f, line)) >= 0) {
    ++d.lineNumber;
    if (length == 0) continue;
    switch (kindOf(line, length)) {
      case LINE_END:
        return FILE_FINISHED;
      case LINE_HEADER:
        if (!d.decodedHere) break;
        messageBeep();
        showLineMessage(d, "", MSG_OK);
        return FILE_FAILED;
      case LINE_SHORT:
        break;
      case LINE_DATA:
        if (decodeLine(d, line, length) < 0) return FILE_FAILED;
        break;
    }
  }
  return FILE_EXHAUSTED;
}
}  // namespace

int uudecodeFiles(const BatchList& files) {
  Decoder d{};
  char line[UU_LINE_MAX + 1];
  FileOutcome outcome = FILE_EXHAUSTED;
  int count = batchCount(files);
  for (int k = 0; k < count && outcome == FILE_EXHAUSTED; ++k) {
    d.path = batchPath(files, k);
    d.lineNumber = 0;
    d.decodedHere = d.askedHere = d.cutLongLines = false;
    FILE* f = std::fopen(d.path, "rb");
    if (!f) {
      outcome = FILE_FAILED;
      break;
    }
    bool header = findHeader(f, d, k == 0, line);
    if (!header) {
      std::string extra = std::string(k == 0 ? " " : "") + d.path;
      messageBox(k == 0 ? MSG_NAME_NOT_FOUND : MSG_BEGIN_NOT_FOUND, extra.c_str(), MSG_OK);
      outcome = FILE_FAILED;
    } else if (k == 0) {
      char target[TRANSFER_PATH_MAX];
      if (!outputPath(d.path, line, target, sizeof target)) {
        messageBox(MSG_NAME_NOT_FOUND, (std::string(" ") + d.path).c_str(), MSG_OK);
        outcome = FILE_FAILED;
      } else if (!(d.out = std::fopen(target, "wb"))) {
        outcome = FILE_FAILED;
      }
    }
    if (outcome != FILE_FAILED) outcome = decodeBody(f, d, line);
    std::fclose(f);
    // The end of the data before the last part: the parts are out of order.
    if (outcome == FILE_FINISHED && k + 1 < count) {
      showLineMessage(d, "", MSG_OK);
      outcome = FILE_FAILED;
    }
  }
  if (d.out && std::fclose(d.out) != 0) outcome = FILE_FAILED;
  return outcome == FILE_FINISHED ? 0 : XFER_BAD_PACKET;
}

int uudecodeCommand(const BatchList& files) {
  int message = MSG_DECODING_CANCELLED;
  if (batchCount(files) > 0) message = uudecodeFiles(files) == 0 ? MSG_DECODING_COMPLETE : MSG_DECODING_ERROR;
  messageBox(message, nullptr, MSG_OK);
  return message;
}
