// Any byte stream through the Kermit packet reader, cut into pieces of any
// size: every packet it accepts fits the agreed length, decodes without
// overrun, and reads back the same after the writer rebuilds it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "transfer/kermit_attributes.h"
#include "transfer/kermit_init.h"
#include "transfer/kermit_packet.h"

namespace {

KermitReader reader;
KermitReader again;
uint8_t wire[KERMIT_WIRE_MAX];

void checkPacket(const KermitReader& r) {
  if (r.dataLength > size_t(r.maxLength)) abort();
  std::vector<uint8_t> data(r.data, r.data + r.dataLength);
  KermitPrefixing p;
  p.qbin = '&';
  p.rept = '~';
  std::vector<uint8_t> out;
  kermitDecode(p, data.data(), data.size(), out);
  if (out.size() > data.size() * 94) abort();
  KermitAgreed agreed;
  uint8_t reply[32];
  kermitAnswerInit(kermitOptionsFrom(true, 9024), data.data(), data.size(), &agreed, reply);
  if (agreed.remoteMax > KERMIT_MAX_LENGTH || agreed.checkType < 1 || agreed.checkType > 3) abort();
  kermitReadAttributes(data.data(), data.size());

  int check = r.type == 'S' ? 1 : r.checkType;
  int n = kermitBuildPacket(wire, r.type, r.seq, data.data(), data.size(), check);
  if (n < 0) abort();
  kermitReaderReset(again);
  again.maxLength = KERMIT_MAX_LENGTH;
  again.checkType = r.checkType;
  size_t used = 0;
  if (kermitReaderFeed(again, wire, size_t(n), &used) != 1 || used != size_t(n)) abort();
  if (again.dataLength != data.size() || (!data.empty() && std::memcmp(again.data, data.data(), data.size()) != 0))
    abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 2) return 0;
  kermitReaderReset(reader);
  reader.checkType = 1 + bytes[0] % 3;
  static const int lengths[] = {KERMIT_SHORT_MAX, 1024, KERMIT_MAX_LENGTH};
  reader.maxLength = lengths[(bytes[0] >> 2) % 3];
  size_t piece = 1 + bytes[1];
  bytes += 2;
  size -= 2;
  while (size > 0) {
    size_t n = size < piece ? size : piece;
    size_t used = 0;
    int r = kermitReaderFeed(reader, bytes, n, &used);
    if (used > n || (used == 0 && n > 0)) abort();
    if (r == 1) checkPacket(reader);
    bytes += used;
    size -= used;
  }
  return 0;
}
