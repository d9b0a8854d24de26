// What a print job puts on paper, apart from the printer: the lines of a text
// file, of the scrollback or of the selection, and their split into pages.
#pragma once
#include <string>
#include <vector>

constexpr int PRINT_LINE_MAX = 256;

struct PrintLine {
  std::string text;
  bool formFeed = false;  // the line was a form feed: a new page starts here
};

// A text file's lines: each ends at LF, at a form feed or after 256 bytes; a
// CR just before the LF is left out.
std::vector<PrintLine> textFileLines(const std::string& bytes);
// The ring lines from the oldest up to, not including, the newest.
std::vector<PrintLine> bufferLines();
// The marked characters of every ring line holding a mark; empty when
// nothing is selected.
std::vector<PrintLine> selectionLines();

// Pages of at most linesPerPage lines (at least 1); a form feed line ends the
// page (it is not printed itself).
std::vector<std::vector<std::string>> paginate(const std::vector<PrintLine>& lines, int linesPerPage);
