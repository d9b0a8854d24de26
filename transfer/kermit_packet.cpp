#include "transfer/kermit_packet.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// CRC-16 of the type 3 check: the reflected CCITT polynomial, initial 0.
constexpr std::array<uint16_t, 256> makeCrcTable() {
  std::array<uint16_t, 256> t{};
  for (int i = 0; i < 256; i++) {
    uint16_t crc = uint16_t(i);
    for (int b = 0; b < 8; b++) crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0x8408) : uint16_t(crc >> 1);
    t[size_t(i)] = crc;
  }
  return t;
}
constexpr std::array<uint16_t, 256> crcTable = makeCrcTable();

// Bytes skipped before a MARK that count as one bad packet, so that a peer
// sending endless noise still runs into the error limit.
constexpr size_t NOISE_LIMIT = 2 * KERMIT_WIRE_MAX;

// Peers differ on what the announced maximum counts (C-Kermit with the CRC
// check sends one more than it was allowed): take a header's worth more,
// never more than the buffer holds.
constexpr size_t LENGTH_SLACK = 6;

}  // namespace

int kermitBlockCheck(int checkType, const uint8_t* text, size_t n, uint8_t* out) {
  if (checkType == 3) {
    uint16_t crc = 0;
    for (size_t i = 0; i < n; i++) crc = uint16_t((crc >> 8) ^ crcTable[(crc ^ text[i]) & 0xFF]);
    out[0] = kermitToChar((crc >> 12) & 0x0F);
    out[1] = kermitToChar((crc >> 6) & 0x3F);
    out[2] = kermitToChar(crc & 0x3F);
    return 3;
  }
  uint32_t s = 0;
  for (size_t i = 0; i < n; i++) s += text[i];
  if (checkType == 2) {
    out[0] = kermitToChar((s >> 6) & 0x3F);
    out[1] = kermitToChar(s & 0x3F);
    return 2;
  }
  out[0] = kermitToChar((s + ((s & 0xC0) >> 6)) & 0x3F);
  return 1;
}

int kermitBuildPacket(uint8_t* out, char type, int seq, const uint8_t* data, size_t n,
                      int checkType) {
  size_t bodyLength = n + size_t(checkType);
  if (bodyLength > size_t(KERMIT_MAX_LENGTH)) return -3;
  size_t p = 0;
  out[p++] = KERMIT_MARK;
  if (bodyLength + 2 <= size_t(KERMIT_SHORT_MAX)) {
    out[p++] = kermitToChar(int(bodyLength) + 2);
    out[p++] = kermitToChar(seq & 63);
    out[p++] = uint8_t(type);
  } else {
    out[p++] = kermitToChar(0);
    out[p++] = kermitToChar(seq & 63);
    out[p++] = uint8_t(type);
    out[p++] = kermitToChar(int(bodyLength / 95));
    out[p++] = kermitToChar(int(bodyLength % 95));
    p += size_t(kermitBlockCheck(1, out + 1, 5, out + p));
  }
  if (n) std::memcpy(out + p, data, n);
  p += n;
  p += size_t(kermitBlockCheck(checkType, out + 1, p - 1, out + p));
  return int(p);
}

void kermitReaderReset(KermitReader& r) {
  r.state = KermitReadState::Mark;
  r.noise = 0;
  r.want = 0;
  r.count = 0;
}

namespace {

void restart(KermitReader& r) {
  r.state = KermitReadState::Len;
  r.noise = 0;
  r.count = 0;
}

int fail(KermitReader& r, int code) {
  r.state = KermitReadState::Mark;
  r.count = 0;
  return code;
}

// The whole packet is in text: split off and verify the block check.
int finishPacket(KermitReader& r, size_t headerLength) {
  r.state = KermitReadState::Mark;
  r.seq = kermitUnChar(r.text[1]);
  r.type = char(r.text[2]);
  // The send-init always travels with the type 1 check: the agreed type only
  // applies once it has been acknowledged, and a repeated one must still pass.
  size_t checkLength = r.type == 'S' ? 1 : size_t(r.checkType);
  if (r.count < headerLength + checkLength) return -3;
  size_t checked = r.count - checkLength;
  uint8_t expect[3];
  kermitBlockCheck(int(checkLength), r.text, checked, expect);
  if (std::memcmp(expect, r.text + checked, checkLength) != 0) return -2;
  r.data = r.text + headerLength;
  r.dataLength = checked - headerLength;
  return 1;
}

}  // namespace

int kermitReaderFeed(KermitReader& r, const uint8_t* bytes, size_t n, size_t* used) {
  size_t i = 0;
  int result = 0;
  while (i < n && result == 0) {
    uint8_t c = bytes[i++];
    if (c == KERMIT_MARK) {
      // A MARK always starts over: a packet cut short by a lost byte must not
      // swallow the next one.
      restart(r);
      continue;
    }
    switch (r.state) {
      case KermitReadState::Mark:
        if (++r.noise > NOISE_LIMIT) {
          r.noise = 0;
          result = -3;
        }
        break;
      case KermitReadState::Len: {
        int len = kermitUnChar(c);
        r.text[r.count++] = c;
        if (len == 0) {
          if (r.maxLength <= KERMIT_SHORT_MAX) result = fail(r, -3);
          else r.state = KermitReadState::Seq;
        } else if (len < 3 || len > KERMIT_SHORT_MAX) {
          result = fail(r, -3);
        } else {
          r.want = size_t(len) - 2;
          r.state = KermitReadState::Seq;
        }
        break;
      }
      case KermitReadState::Seq:
        r.text[r.count++] = c;
        if (kermitUnChar(c) < 0 || kermitUnChar(c) > 63) result = fail(r, -3);
        else r.state = KermitReadState::Type;
        break;
      case KermitReadState::Type:
        r.text[r.count++] = c;
        if (c < 33 || c > 126) result = fail(r, -3);
        else if (r.text[0] == kermitToChar(0)) r.state = KermitReadState::LenX1;
        else r.state = KermitReadState::Body;
        break;
      case KermitReadState::LenX1:
      case KermitReadState::LenX2:
        r.text[r.count++] = c;
        if (c < 32 || c > 126) result = fail(r, -3);
        else r.state = r.state == KermitReadState::LenX1 ? KermitReadState::LenX2
                                                         : KermitReadState::HeaderCheck;
        break;
      case KermitReadState::HeaderCheck: {
        uint8_t expect;
        kermitBlockCheck(1, r.text, 5, &expect);
        r.text[r.count++] = c;
        size_t lenx = size_t(kermitUnChar(r.text[3])) * 95 + size_t(kermitUnChar(r.text[4]));
        if (c != expect) result = fail(r, -2);
        else if (lenx < 1 || lenx > size_t(r.maxLength) + LENGTH_SLACK || lenx > size_t(KERMIT_MAX_LENGTH))
          result = fail(r, -3);
        else {
          r.want = lenx;
          r.state = KermitReadState::Body;
        }
        break;
      }
      case KermitReadState::Body: {
        // Take the run of body bytes up to the next MARK in one copy.
        size_t start = i - 1;
        size_t take = std::min(r.want, n - start);
        const void* mark = std::memchr(bytes + start, KERMIT_MARK, take);
        if (mark) take = size_t(static_cast<const uint8_t*>(mark) - (bytes + start));
        std::memcpy(r.text + r.count, bytes + start, take);
        r.count += take;
        r.want -= take;
        i = start + take;
        if (r.want == 0)
          result = finishPacket(r, r.text[0] == kermitToChar(0) ? 6 : 3);
        break;
      }
    }
  }
  *used = i;
  return result;
}
