// The remote listing: the bytes of a LIST reply become lines, the lines become
// entries (directories, files, unclassified) by the rules of the remote system,
// and the entries become the remote view in three runs: directories, files,
// the rest, each in the server's order.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum ListingKind { LISTING_OTHER = 0, LISTING_DIRECTORY = 1, LISTING_FILE = 2 };

// A line keeps at most this many bytes; the rest up to its LF is dropped.
constexpr int LISTING_LINE_MAX = 1023;
// The list view shows at most this much of a name; commands use all of it.
constexpr int LISTING_NAME_SHOWN = 127;
// A listing keeps at most this many lines and line bytes, so that a server
// cannot exhaust a 32-bit program's memory; the rest is read and dropped.
constexpr size_t LISTING_LINES_MAX = 100000;
constexpr size_t LISTING_BYTES_MAX = 16u << 20;
constexpr const char* LISTING_TEXT_CUT = "The listing was cut: it holds more entries than can be shown";

struct ListingEntry {
  int kind = LISTING_OTHER;
  std::string name;  // whole, as the server wrote it (may hold blanks, tabs, NUL)
  std::string size;  // leading digits of the size field; Unix format only
  std::string date;  // "Mon DD time-or-year"; Unix format only
};

struct ListingState {
  int systemType = 0;
  // Line assembler: a CR is held back until the next byte shows whether it
  // ends the line.
  char line[LISTING_LINE_MAX + 1] = {};
  int lineLength = 0;
  bool pendingCr = false;
  // The kept lines end to end, and where each ends.
  std::string lineBytes;
  std::vector<uint32_t> lineEnds;
  bool cut = false;  // lines were dropped at the limits above
  // The view after BuildRemoteView: directories, then files, then the rest.
  std::vector<ListingEntry> view;
  int directoryCount = 0;
  int fileCount = 0;
  bool mvsDatasets = false;
};

// Empties the lines and the assembler before a new listing of systemType.
void listingReset(ListingState& state, int systemType);
// Takes one block of the data connection.
void AddListingBytes(ListingState& state, const uint8_t* bytes, int length);
// Applies the skip rules, classifies every line and fills state.view and the
// group counts. A last line without its LF is taken as well.
void BuildRemoteView(ListingState& state);
// One line by the rules of systemType (mvsDatasets: an MVS dataset list).
ListingEntry ParseListingLine(int systemType, bool mvsDatasets, const std::string& line);
// The kind of the view item at index, from the group counts alone.
int listingKindAt(const ListingState& state, int index);
// What the list view shows of a name.
std::string listingShownName(const std::string& name);
// "dir", "file" or "other".
const char* listingKindWord(int kind);
// The view as text, one line per entry: KIND TAB NAME TAB SIZE TAB DATE LF.
std::string listingViewText(const ListingState& state);
