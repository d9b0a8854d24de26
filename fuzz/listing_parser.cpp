// Any listing bytes for any system type: no crash or overrun, and the same
// view whether the bytes come at once or in pieces (no line lost or merged).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ftp/listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static const int kSystems[] = {0, 1, 2, 3, 4, 5, 6, 7, 99};
  int system = kSystems[data[0] % 9];
  size_t piece = 1 + data[1] % 97;
  data += 2;
  size -= 2;

  ListingState whole;
  listingReset(whole, system);
  AddListingBytes(whole, data, static_cast<int>(size));
  BuildRemoteView(whole);

  ListingState pieces;
  listingReset(pieces, system);
  for (size_t at = 0; at < size; at += piece)
    AddListingBytes(pieces, data + at, static_cast<int>(size - at < piece ? size - at : piece));
  BuildRemoteView(pieces);

  if (listingViewText(whole) != listingViewText(pieces)) std::abort();
  if (whole.directoryCount + whole.fileCount > static_cast<int>(whole.view.size())) std::abort();
  for (const ListingEntry& e : whole.view)
    if (e.name.size() > LISTING_LINE_MAX || e.size.size() > LISTING_LINE_MAX) std::abort();
  return 0;
}
