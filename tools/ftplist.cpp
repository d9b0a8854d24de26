// ftplist: plays raw listing bytes, as they arrive on a data connection,
// through the listing parser and prints the remote view, one entry a line:
// KIND TAB NAME TAB SIZE TAB DATE.
//
// ftplist --system N [FILE]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ftp/listing.h"

static int usage(const char* why) {
  std::fprintf(stderr, "ftplist: %s\nusage: ftplist --system N [FILE]\n", why);
  return 2;
}

int main(int argc, char** argv) {
  int system = -1;
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--system" && i + 1 < argc) {
      char* end = nullptr;
      long v = std::strtol(argv[++i], &end, 10);
      if (!*argv[i] || *end || v < 0 || v > 99) return usage("--system takes 0 to 99");
      system = static_cast<int>(v);
    } else if (a.size() > 1 && a[0] == '-') {
      return usage(("unknown option " + a).c_str());
    } else if (!file) {
      file = argv[i];
    } else {
      return usage("only one FILE");
    }
  }
  if (system < 0) return usage("--system is required");

  FILE* in = file ? std::fopen(file, "rb") : stdin;
  if (!in) {
    std::fprintf(stderr, "ftplist: cannot open %s\n", file);
    return 1;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  if (file) std::fclose(in);

  // Blocks of changing size, as recv hands them over, so that lines cross
  // block boundaries at many places.
  static const size_t kBlocks[] = {1, 7, 1024, 13, 300, 4096, 2};
  ListingState state;
  listingReset(state, system);
  size_t at = 0;
  for (int b = 0; at < bytes.size(); ++b) {
    size_t take = std::min(kBlocks[b % 7], bytes.size() - at);
    AddListingBytes(state, bytes.data() + at, static_cast<int>(take));
    at += take;
  }
  BuildRemoteView(state);
  std::string text = listingViewText(state);
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (state.cut) std::fprintf(stderr, "ftplist: %s\n", LISTING_TEXT_CUT);
  return 0;
}
