// One listing line to one entry, by the remote system's format.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "ftp/listing.h"
#include "ftp/system_type.h"

namespace {

// Field texts other than the name are short by nature; a hostile line cannot
// make them longer than this.
constexpr size_t kFieldMax = 31;

bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

std::string upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Splits on runs of blanks and tabs. fields[i] is field i + 1; *afterField8 is
// where field 8 ends (npos when the line has fewer than 8 fields).
std::vector<std::string> unixFields(const std::string& line, size_t* afterField8) {
  std::vector<std::string> fields;
  *afterField8 = std::string::npos;
  size_t i = 0, n = line.size();
  while (fields.size() < 8) {
    while (i < n && isBlankOrTab(line[i])) ++i;
    if (i >= n) break;
    size_t start = i;
    while (i < n && !isBlankOrTab(line[i])) ++i;
    fields.push_back(line.substr(start, std::min(i - start, kFieldMax)));
    if (fields.size() == 8) *afterField8 = i;
  }
  return fields;
}

std::string leadingDigits(const std::string& text) {
  size_t n = 0;
  while (n < text.size() && std::isdigit(static_cast<unsigned char>(text[n]))) ++n;
  return text.substr(0, n);
}

ListingEntry parseUnix(const std::string& line) {
  ListingEntry entry;
  // Symbolic links are entered with CWD like directories; a link to a file
  // then fails at the server, which says so.
  entry.kind = (line[0] == 'd' || line[0] == 'l') ? LISTING_DIRECTORY : LISTING_FILE;
  size_t nameAt;
  std::vector<std::string> f = unixFields(line, &nameAt);
  if (f.size() >= 5) entry.size = leadingDigits(f[4]);
  if (f.size() >= 8) {
    std::string dayDigits = leadingDigits(f[6]).substr(0, 4);
    int day = dayDigits.empty() ? 0 : std::stoi(dayDigits);
    char date[3 * kFieldMax + 8];
    std::snprintf(date, sizeof date, "%s %02d %s", f[5].c_str(), day, f[7].c_str());
    entry.date = date;
    // The name starts after the one separator that follows field 8, so blanks
    // inside or at the start of a name survive.
    if (nameAt < line.size()) entry.name = line.substr(nameAt + 1);
  }
  return entry;
}

ListingEntry parseVms(const std::string& line) {
  ListingEntry entry;
  size_t dir = upper(line).find(".DIR");
  if (dir != std::string::npos) {
    entry.kind = LISTING_DIRECTORY;
    entry.name = line.substr(0, dir);
  } else {
    entry.kind = LISTING_FILE;
    entry.name = line.substr(0, line.find(' '));
  }
  return entry;
}

std::vector<std::string> blankTokens(const std::string& line) {
  std::vector<std::string> tokens;
  size_t i = 0, n = line.size();
  while (i < n) {
    while (i < n && line[i] == ' ') ++i;
    if (i >= n) break;
    size_t start = i;
    while (i < n && line[i] != ' ') ++i;
    tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

ListingEntry parseVm(const std::string& line) {
  ListingEntry entry;
  if (line.find(' ') == std::string::npos) {
    entry.name = line;
    return entry;
  }
  std::vector<std::string> t = blankTokens(line);
  if (t.size() < 3) {
    entry.name = t.empty() ? std::string() : t[0];
    return entry;
  }
  if (upper(t[1]) == "DIR") {
    entry.kind = LISTING_DIRECTORY;
    entry.name = t[0];
  } else {
    entry.kind = LISTING_FILE;
    entry.name = t[0] + "." + t[1];
  }
  return entry;
}

ListingEntry parseMvs(const std::string& line, bool datasets) {
  ListingEntry entry;
  std::vector<std::string> t = blankTokens(line);
  if (datasets) {
    // A dataset is entered like a directory; its name ends the line.
    entry.kind = LISTING_DIRECTORY;
    if (!t.empty()) entry.name = t.back();
  } else {
    entry.kind = LISTING_FILE;
    if (!t.empty()) entry.name = t.front();
  }
  return entry;
}

}  // namespace

ListingEntry ParseListingLine(int systemType, bool mvsDatasets, const std::string& line) {
  if (line.empty()) return ListingEntry();
  switch (systemType) {
    case SYSTEM_UNIX:
    case SYSTEM_MACOS:
    case SYSTEM_WINDOWS_NT:
    case SYSTEM_NOVELL:
      return parseUnix(line);
    case SYSTEM_VMS:
      return parseVms(line);
    case SYSTEM_VM:
      return parseVm(line);
    case SYSTEM_MVS:
      return parseMvs(line, mvsDatasets);
    default: {
      ListingEntry entry;
      entry.name = line;
      return entry;
    }
  }
}
