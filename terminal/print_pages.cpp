#include "terminal/print_pages.h"

#include <algorithm>

#include "terminal/screen.h"

std::vector<PrintLine> textFileLines(const std::string& bytes) {
  std::vector<PrintLine> lines;
  std::string line;
  bool open = false;  // bytes since the last line end
  for (char c : bytes) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back({line, false});
      line.clear();
      open = false;
    } else if (c == '\f') {
      if (open) lines.push_back({line, false});
      lines.push_back({"", true});
      line.clear();
      open = false;
    } else {
      line += c;
      open = true;
      if (line.size() >= PRINT_LINE_MAX) {
        lines.push_back({line, false});
        line.clear();
        open = false;
      }
    }
  }
  if (open) lines.push_back({line, false});
  return lines;
}

static int ringNext(int i) { return i + 1 >= screen.capacity ? 0 : i + 1; }

static std::string usedText(int i) {
  const ScreenLine& l = screen.text[i];
  int used = std::clamp<int>(l.used, 0, LINE_CELLS);
  return std::string(reinterpret_cast<const char*>(l.cells), used);
}

std::vector<PrintLine> bufferLines() {
  std::vector<PrintLine> lines;
  if (screen.capacity <= 0) return lines;
  for (int i = screen.oldest; i != screen.newest; i = ringNext(i)) lines.push_back({usedText(i), false});
  return lines;
}

std::vector<PrintLine> selectionLines() {
  std::vector<PrintLine> lines;
  if (screen.capacity <= 0 || screen.marks.empty()) return lines;
  int i = screen.oldest;
  do {
    const uint8_t* marks = &screen.marks[static_cast<size_t>(i) * LINE_CELLS];
    if (std::any_of(marks, marks + LINE_CELLS, [](uint8_t m) { return m != 0; })) {
      std::string text;
      int used = std::clamp<int>(screen.text[i].used, 0, LINE_CELLS);
      for (int c = 0; c < used; ++c)
        if (marks[c]) text += static_cast<char>(screen.text[i].cells[c]);
      lines.push_back({text, false});
    }
    i = ringNext(i);
  } while (i != ringNext(screen.newest));
  return lines;
}

std::vector<std::vector<std::string>> paginate(const std::vector<PrintLine>& lines, int linesPerPage) {
  linesPerPage = std::max(1, linesPerPage);
  std::vector<std::vector<std::string>> pages(1);
  for (const PrintLine& l : lines) {
    if (l.formFeed) {
      pages.emplace_back();
      continue;
    }
    if (static_cast<int>(pages.back().size()) >= linesPerPage) pages.emplace_back();
    pages.back().push_back(l.text);
  }
  return pages;
}
