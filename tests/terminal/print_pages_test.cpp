// The lines and pages a print job puts on paper, from text files and from the
// scrollback and selection filled by received bytes.
#include <gtest/gtest.h>

#include "terminal/print_pages.h"
#include "terminal_harness.h"

namespace {

using Pages = std::vector<std::vector<std::string>>;

TEST(PrintPages, TextFilesSplitIntoLinesAndPages) {
  struct Case { std::string file; int perPage; Pages pages; } cases[] = {
      {"a\r\nb\n", 60, {{"a", "b"}}},
      {"a\r\nb\r\n\f\r\nc\n", 60, {{"a", "b"}, {"", "c"}}},  // CR LF after the form feed is a line
      {"a\fb", 60, {{"a"}, {"b"}}},
      {"1\n2\n3\n4\n5", 2, {{"1", "2"}, {"3", "4"}, {"5"}}},
      {"x\ry\n", 60, {{"x\ry"}}},                                // a lone CR stays
      {std::string(600, 'z'), 60, {{std::string(256, 'z'), std::string(256, 'z'), std::string(88, 'z')}}},
      {std::string(256, 'z') + "\n", 60, {{std::string(256, 'z'), ""}}},
      {"", 60, {{}}},
  };
  for (const Case& c : cases) EXPECT_EQ(paginate(textFileLines(c.file), c.perPage), c.pages) << c.file;
}

TEST(PrintPages, BinaryFileKeepsEveryByte) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i % 251 + 1 == '\n' ? 0 : i % 251 + 1);
  size_t kept = 0;
  for (const PrintLine& l : textFileLines(bytes)) kept += l.text.size() + (l.formFeed ? 1 : 0);
  size_t ff = 0;
  for (char c : bytes) ff += c == '\f';
  EXPECT_EQ(kept, bytes.size() - std::count(bytes.begin(), bytes.end(), '\n'));
  EXPECT_GT(ff, 0u);
}

TEST(PrintPages, BufferAndSelectionFromReceivedText) {
  harness::reset(4, 3, 80, 100);
  harness::feed("one\r\ntwo\r\nthree\r\nfour\r\nfive");
  std::vector<std::string> texts;
  for (const PrintLine& l : bufferLines()) texts.push_back(l.text);
  // Everything up to the cursor's line, which is the newest.
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(texts.end() - 4, texts.end()),
            (std::vector<std::string>{"one", "two", "three", "four"}));

  EXPECT_TRUE(selectionLines().empty());
  int three = lineOfRow(0), two = three - 1;  // "two" scrolled off just above
  if (two < 0) two += screen.capacity;
  screen.marks[static_cast<size_t>(two) * LINE_CELLS + 1] = 1;
  screen.marks[static_cast<size_t>(two) * LINE_CELLS + 2] = 1;
  screen.marks[static_cast<size_t>(three) * LINE_CELLS + 0] = 1;
  screen.marks[static_cast<size_t>(three) * LINE_CELLS + 200] = 1;  // past the used length
  std::vector<std::string> marked;
  for (const PrintLine& l : selectionLines()) marked.push_back(l.text);
  EXPECT_EQ(marked, (std::vector<std::string>{"wo", "t"}));
}

}  // namespace
