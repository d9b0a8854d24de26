// Line assembly and the view: which lines become entries and in what order.
#include <algorithm>
#include <cctype>

#include "ftp/listing.h"
#include "ftp/system_type.h"

void listingReset(ListingState& state, int systemType) {
  state.systemType = systemType;
  state.lineLength = 0;
  state.pendingCr = false;
  state.lineBytes.clear();
  state.lineEnds.clear();
  state.cut = false;
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
    if (state.systemType == SYSTEM_VMS && state.line[0] == ' ') {
    } else if (state.cut || state.lineEnds.size() >= LISTING_LINES_MAX ||
               state.lineBytes.size() + static_cast<size_t>(state.lineLength) > LISTING_BYTES_MAX) {
      state.cut = true;
    } else {
      state.lineBytes.append(state.line, static_cast<size_t>(state.lineLength));
      state.lineEnds.push_back(static_cast<uint32_t>(state.lineBytes.size()));
    }
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

  const size_t count = state.lineEnds.size();
  auto lineAt = [&state](size_t i) {
    uint32_t from = i == 0 ? 0 : state.lineEnds[i - 1];
    return std::string(state.lineBytes, from, state.lineEnds[i] - from);
  };
  const int type = state.systemType;
  size_t first = 0, end = count;
  state.mvsDatasets = false;
  if (count > 0) {
    if ((type == SYSTEM_UNIX || type == SYSTEM_WINDOWS_NT) && firstCharsContain(lineAt(0), 6, "TOTAL"))
      first = 1;
    if (type == SYSTEM_MVS) {
      // The heading line tells a dataset list ("Volume ...") from a member list.
      state.mvsDatasets = firstCharsContain(lineAt(0), 4, "VOLU");
      first = 1;
    }
    if (type == SYSTEM_VMS) {
      // VMS frames the entries with a directory heading and a totals line.
      first = 1;
      end = count - 1;
    }
  }
  // One vector of entries, grouped in place: no second copy of the view.
  std::vector<ListingEntry>& view = state.view;
  view.clear();
  view.shrink_to_fit();
  view.reserve(end > first ? end - first : 0);
  for (size_t i = first; i < end; ++i) view.push_back(ParseListingLine(type, state.mvsDatasets, lineAt(i)));
  // The lines are done with once parsed.
  std::string().swap(state.lineBytes);
  std::vector<uint32_t>().swap(state.lineEnds);
  auto files = std::stable_partition(view.begin(), view.end(),
                                     [](const ListingEntry& e) { return e.kind == LISTING_DIRECTORY; });
  auto others = std::stable_partition(files, view.end(), [](const ListingEntry& e) { return e.kind == LISTING_FILE; });
  state.directoryCount = static_cast<int>(files - view.begin());
  state.fileCount = static_cast<int>(others - files);
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
