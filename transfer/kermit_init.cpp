#include "transfer/kermit_init.h"

#include <algorithm>

#include "transfer/kermit_packet.h"

namespace {

bool isPrefixChar(uint8_t c) { return (c >= 33 && c <= 62) || (c >= 96 && c <= 126); }

int field(const uint8_t* data, size_t n, size_t i) {
  return i < n ? kermitUnChar(data[i]) : 0;
}

// Parameters common to both directions once the other side's fields are known.
void takeCommon(const KermitInit& theirs, KermitAgreed* a) {
  a->timeoutSeconds = theirs.time;
  a->npad = theirs.npad;
  a->padc = theirs.padc;
  a->eol = theirs.eol;
  a->send.qctl = '#';
  a->receive.qctl = theirs.qctl;
}

void setEightBit(KermitAgreed* a, uint8_t prefix) {
  a->send.qbin = prefix;
  a->receive.qbin = prefix;
}

void setRepeat(KermitAgreed* a, uint8_t prefix) {
  a->send.rept = prefix;
  a->receive.rept = prefix;
}

size_t writeCommon(const KermitOptions& ours, uint8_t qbin, uint8_t* out) {
  size_t k = 0;
  out[k++] = kermitToChar(KERMIT_SHORT_MAX);
  out[k++] = kermitToChar(ours.timeoutSeconds);
  out[k++] = kermitToChar(0);   // no padding wanted
  out[k++] = 0 ^ 0x40;          // padding character NUL, as ctl()
  out[k++] = kermitToChar(13);  // packets end with CR
  out[k++] = '#';
  out[k++] = qbin;
  return k;
}

size_t writeLongFields(const KermitOptions& ours, int capas, uint8_t* out) {
  size_t k = 0;
  out[k++] = kermitToChar(capas);
  out[k++] = ' ';  // no sliding windows
  out[k++] = kermitToChar(ours.packetSize / 95);
  out[k++] = kermitToChar(ours.packetSize % 95);
  return k;
}

}  // namespace

KermitOptions kermitOptionsFrom(bool eightBitPrefixing, int entryPacketSize) {
  KermitOptions o;
  o.eightBitPrefixing = eightBitPrefixing;
  o.packetSize = entryPacketSize <= 0 ? 1024 : std::clamp(entryPacketSize, 65, KERMIT_MAX_LENGTH);
  return o;
}

KermitInit kermitParseInit(const uint8_t* data, size_t n) {
  KermitInit f;
  int maxl = field(data, n, 0);
  if (maxl > 0) f.maxl = std::clamp(maxl, 10, KERMIT_SHORT_MAX);
  int time = field(data, n, 1);
  f.time = time <= 0 ? 10 : std::min(time, 60);
  f.npad = std::clamp(field(data, n, 2), 0, 94);
  if (n > 3) f.padc = data[3] ^ 0x40;
  int eol = field(data, n, 4);
  if (eol >= 1 && eol <= 31) f.eol = uint8_t(eol);
  if (n > 5 && isPrefixChar(data[5])) f.qctl = data[5];
  if (n > 6) f.qbin = data[6];
  if (n > 7 && data[7] >= '1' && data[7] <= '3') f.chkt = data[7];
  if (n > 8) f.rept = data[8];
  // CAPAS runs on while its low bit is set; WINDO, MAXLX1, MAXLX2 follow.
  size_t i = 9;
  if (i < n) {
    f.capas = field(data, n, i);
    while (i < n && (field(data, n, i) & 1)) i++;
    i++;
    int maxlx = field(data, n, i + 1) * 95 + field(data, n, i + 2);
    if (i + 2 < n && maxlx > 0) f.maxlx = std::clamp(maxlx, 10, KERMIT_MAX_LENGTH);
  }
  return f;
}

size_t kermitAnswerInit(const KermitOptions& ours, const uint8_t* data, size_t n,
                        KermitAgreed* a, uint8_t* reply) {
  KermitInit theirs = kermitParseInit(data, n);
  *a = KermitAgreed();
  takeCommon(theirs, a);

  uint8_t qbin = 'N';
  if (ours.eightBitPrefixing && theirs.qbin == 'Y') qbin = '&';
  else if (ours.eightBitPrefixing && isPrefixChar(theirs.qbin) && theirs.qbin != theirs.qctl &&
           theirs.qbin != '#')
    qbin = theirs.qbin;
  if (qbin != 'N') setEightBit(a, qbin);

  size_t k = writeCommon(ours, qbin, reply);
  // Both sides name the check they want; when they differ, type 1 is used.
  a->checkType = theirs.chkt - '0';
  reply[k++] = theirs.chkt;

  uint8_t rept = theirs.rept;
  bool repeat = isPrefixChar(rept) && rept != '#' && rept != theirs.qctl && rept != qbin;
  reply[k++] = repeat ? rept : ' ';
  if (repeat) setRepeat(a, rept);

  a->longPackets = (theirs.capas & KERMIT_CAPAS_LONG) && ours.packetSize > KERMIT_SHORT_MAX;
  a->attributes = (theirs.capas & KERMIT_CAPAS_ATTRIBUTES) != 0;
  int capas = (a->longPackets ? KERMIT_CAPAS_LONG : 0) | (a->attributes ? KERMIT_CAPAS_ATTRIBUTES : 0);
  if (a->longPackets) {
    k += writeLongFields(ours, capas, reply + k);
    a->remoteMax = std::min(theirs.maxlx, ours.packetSize);
    a->receiveMax = ours.packetSize;
  } else {
    reply[k++] = kermitToChar(capas);
    a->remoteMax = theirs.maxl;
  }
  return k;
}

// We ask for the CRC: a sum of 6 or 12 bits lets a packet shifted by a lost
// or repeated byte through too often on a noisy line. A peer without it
// answers with its own type, and the two then fall back to type 1.
constexpr uint8_t OFFERED_CHECK = '3';

size_t kermitOfferInit(const KermitOptions& ours, uint8_t* out) {
  size_t k = writeCommon(ours, ours.eightBitPrefixing ? '&' : 'N', out);
  out[k++] = OFFERED_CHECK;
  out[k++] = '~';
  if (ours.packetSize <= KERMIT_SHORT_MAX) return k;
  k += writeLongFields(ours, KERMIT_CAPAS_LONG | KERMIT_CAPAS_ATTRIBUTES, out + k);
  return k;
}

void kermitTakeInitAck(const KermitOptions& ours, const uint8_t* data, size_t n,
                       KermitAgreed* a) {
  KermitInit theirs = kermitParseInit(data, n);
  *a = KermitAgreed();
  takeCommon(theirs, a);
  if (ours.eightBitPrefixing && (theirs.qbin == 'Y' || theirs.qbin == '&')) setEightBit(a, '&');
  a->checkType = theirs.chkt == OFFERED_CHECK ? OFFERED_CHECK - '0' : 1;
  if (theirs.rept == '~') setRepeat(a, '~');
  bool offeredLong = ours.packetSize > KERMIT_SHORT_MAX;
  a->longPackets = offeredLong && (theirs.capas & KERMIT_CAPAS_LONG);
  a->attributes = offeredLong && (theirs.capas & KERMIT_CAPAS_ATTRIBUTES);
  a->remoteMax = a->longPackets ? std::min(theirs.maxlx, ours.packetSize) : theirs.maxl;
  a->receiveMax = a->longPackets ? ours.packetSize : KERMIT_SHORT_MAX;
}
