// Line assembly and the view: which lines become entries and in what order.
#include <cctype>

#include "ftp/listing.h"
#include "ftp/system_type.h"

void listingReset(ListingState& state, int systemType) {
  state.systemType = systemType;
  state.lineLength = 0;
  state.pendingCr = false;
  state.rawLines.clear();
}

static void appendByte(ListingState& state, char c) {
  // A line that is too long keeps its beginning; the rest is dropped so that
  // the next line still starts at its own first byte.
  if (state.lineLength < LISTING_LINE_MAX) state.line[state.lineLength++] = c;
}

static void endLine(ListingState& state) {
  if (state.lineLength > 0) {
    // VMS continues a long entry on lines that begin with a blank; those hold
    // only sizes and dates that the entry does not use.
    if (!(state.systemType == SYSTEM_VMS && state.line[0] == ' '))
      state.rawLines.emplace_back(state.line, state.lineLength);
  }
  state.lineLength = 0;
  state.pendingCr = false;
}

void AddListingBytes(ListingState& state, const uint8_t* bytes, int length) {
  for (int i = 0; i < length; ++i) {
    char c = static_cast<char>(bytes[i]);
    if (c == '\n') {
      endLine(state);
      continue;
    }
    if (state.pendingCr) appendByte(state, '\r');
    state.pendingCr = (c == '\r');
    if (!state.pendingCr) appendByte(state, c);
  }
}

static bool firstCharsContain(const std::string& line, size_t count, const char* word) {
  std::string head = line.substr(0, count);
  for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return head.find(word) != std::string::npos;
}

void BuildRemoteView(ListingState& state) {
  if (state.pendingCr) appendByte(state, '\r');
  state.pendingCr = false;
  endLine(state);

  std::vector<ListingEntry> groups[3];  // indexed by kind: other, directory, file
  const std::vector<std::string>& lines = state.rawLines;
  const int type = state.systemType;
  size_t first = 0, end = lines.size();
  state.mvsDatasets = false;
  if (!lines.empty()) {
    if ((type == SYSTEM_UNIX || type == SYSTEM_WINDOWS_NT) && firstCharsContain(lines[0], 6, "TOTAL"))
      first = 1;
    if (type == SYSTEM_MVS) {
      // The heading line tells a dataset list ("Volume ...") from a member list.
      state.mvsDatasets = firstCharsContain(lines[0], 4, "VOLU");
      first = 1;
    }
    if (type == SYSTEM_VMS) {
      // VMS frames the entries with a directory heading and a totals line.
      first = 1;
      end = lines.size() - 1;
    }
  }
  for (size_t i = first; i < end; ++i) {
    ListingEntry entry = ParseListingLine(type, state.mvsDatasets, lines[i]);
    groups[entry.kind].push_back(std::move(entry));
  }
  state.view.clear();
  state.directoryCount = static_cast<int>(groups[LISTING_DIRECTORY].size());
  state.fileCount = static_cast<int>(groups[LISTING_FILE].size());
  for (int kind : {LISTING_DIRECTORY, LISTING_FILE, LISTING_OTHER})
    for (ListingEntry& entry : groups[kind]) state.view.push_back(std::move(entry));
}

int listingKindAt(const ListingState& state, int index) {
  if (index < 0) return LISTING_OTHER;
  if (index < state.directoryCount) return LISTING_DIRECTORY;
  if (index < state.directoryCount + state.fileCount) return LISTING_FILE;
  return LISTING_OTHER;
}

std::string listingShownName(const std::string& name) {
  return name.substr(0, LISTING_NAME_SHOWN);
}

const char* listingKindWord(int kind) {
  return kind == LISTING_DIRECTORY ? "dir" : kind == LISTING_FILE ? "file" : "other";
}

std::string listingViewText(const ListingState& state) {
  std::string out;
  for (const ListingEntry& e : state.view) {
    out += listingKindWord(e.kind);
    out += '\t' + e.name + '\t' + e.size + '\t' + e.date + '\n';
  }
  return out;
}
