#include "terminal/screen_report.h"

#include "terminal/screen.h"

std::string escapedBytes(const std::string& bytes) {
  std::string out;
  for (unsigned char b : bytes) {
    if (b < 0x20 || b > 0x7E || b == '\\') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", b);
      out += hex;
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

void printScreenReport(FILE* out, const std::string& replies) {
  std::fprintf(out, "cursor %d %d\n", screen.row + 1, screen.column + 1);
  std::fprintf(out, "screen\n");
  for (int r = 0; r < screen.rows; ++r) {
    const ScreenLine& line = lineAt(r);
    std::string cells(reinterpret_cast<const char*>(line.cells), static_cast<size_t>(line.used));
    std::fprintf(out, "|%s|\n", escapedBytes(cells).c_str());
  }
  std::fprintf(out, "attr\n");
  for (int r = 0; r < screen.rows; ++r) {
    const uint8_t* attrs = attributesAt(r);
    for (int c = 0; c < lineAt(r).used; ++c) std::fprintf(out, "%02x", attrs[c]);
    std::fprintf(out, "\n");
  }
  std::fprintf(out, "reply %s\n", escapedBytes(replies).c_str());
  std::fprintf(out, "history %d\n", screen.historyLines);
}
