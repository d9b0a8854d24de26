// Kermit packets through the reader and writer: real peers' packets, every
// split of a stream, and the lengths and checks a broken line produces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transfer/kermit_init.h"
#include "transfer/kermit_packet.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes build(char type, int seq, const Bytes& data, int check) {
  Bytes out(KERMIT_WIRE_MAX);
  int n = kermitBuildPacket(out.data(), type, seq, data.data(), data.size(), check);
  EXPECT_GT(n, 0);
  out.resize(size_t(n > 0 ? n : 0));
  return out;
}

struct Read {
  int result = 0;
  char type = 0;
  int seq = -1;
  Bytes data;
};

// Feeds pieces in order and returns the first packet or error.
Read feed(KermitReader& r, const Bytes& stream, const std::vector<size_t>& cuts) {
  Read got;
  size_t from = 0;
  std::vector<size_t> ends = cuts;
  ends.push_back(stream.size());
  for (size_t end : ends) {
    while (from < end) {
      size_t used = 0;
      int rc = kermitReaderFeed(r, stream.data() + from, end - from, &used);
      from += used;
      if (rc != 0) {
        got.result = rc;
        if (rc == 1) {
          got.type = r.type;
          got.seq = r.seq;
          got.data.assign(r.data, r.data + r.dataLength);
        }
        return got;
      }
    }
  }
  return got;
}

Bytes printable(size_t n, unsigned seed) {
  Bytes d(n);
  for (auto& c : d) c = uint8_t(33 + (seed = seed * 1103515245 + 12345) % 94);
  return d;
}

}  // namespace

// gkermit's own send-init, captured from the wire: our type 1 check must agree
// with a real peer's, and our writer must produce the very same bytes.
TEST(KermitPacket, RealPeerPacketReadsAndRebuildsIdentically) {
  Bytes wire = bytesOf("\x01" "9 S~' @-#Y3~*!J*0+++J\"U1@O\r");
  KermitReader r;
  Read got = feed(r, wire, {});
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(got.type, 'S');
  EXPECT_EQ(got.seq, 0);
  Bytes rebuilt = build('S', 0, got.data, 1);
  rebuilt.push_back('\r');
  EXPECT_EQ(rebuilt, wire);
}

// The published check value of the CRC the type 3 check is made of.
TEST(KermitPacket, TypeThreeCheckMatchesTheStandardCrc) {
  Bytes text = bytesOf("123456789");
  uint8_t out[3];
  ASSERT_EQ(kermitBlockCheck(3, text.data(), text.size(), out), 3);
  EXPECT_EQ(std::string(out, out + 3), "\"&)");
}

// Short and long packets at the length boundaries, every check type, cut at
// every point of a stream that carries noise and two packets.
TEST(KermitPacket, EverySplitReadsTheSamePackets) {
  for (int check = 1; check <= 3; check++) {
    for (size_t n : {0u, 1u, 88u, 89u, 90u, 91u, 92u, 700u, 9021u - 2u}) {
      SCOPED_TRACE("check " + std::to_string(check) + " n " + std::to_string(n));
      Bytes data = printable(n, unsigned(n + check));
      Bytes stream = bytesOf("noise\r");
      Bytes a = build('D', 63, data, check);
      Bytes b = build('Z', 0, {}, check);
      stream.insert(stream.end(), a.begin(), a.end());
      stream.push_back('\r');
      stream.insert(stream.end(), b.begin(), b.end());
      size_t step = n > 700 ? 997 : 1;
      for (size_t cut = 0; cut <= stream.size(); cut += step) {
        KermitReader r;
        r.maxLength = KERMIT_MAX_LENGTH;
        r.checkType = check;
        Read first = feed(r, stream, {cut});
        ASSERT_EQ(first.result, 1) << "cut " << cut;
        EXPECT_EQ(first.seq, 63);
        EXPECT_EQ(first.data, data);
        size_t offset = stream.size() - b.size();
        Read second = feed(r, Bytes(stream.begin() + long(offset), stream.end()), {});
        EXPECT_EQ(second.type, 'Z');
      }
    }
  }
}

// What a noisy or hostile line delivers ends in a bad packet or check error,
// never in a packet, and never in a read past the buffer.
TEST(KermitPacket, BrokenPacketsAreRefused) {
  Bytes good = build('D', 5, printable(40, 7), 2);
  Bytes flipped = good;
  flipped[10] ^= 0x04;
  Bytes longOne = build('D', 5, printable(500, 3), 1);
  Bytes badHeader = longOne;
  badHeader[6] ^= 0x01;
  Bytes zeroLength = {KERMIT_MARK, ' ', '%', 'D', ' ', ' ', 0};
  kermitBlockCheck(1, zeroLength.data() + 1, 5, &zeroLength[6]);
  struct Case {
    const char* name;
    Bytes stream;
    int maxLength;
    int result;
  } cases[] = {
      {"LEN 2", bytesOf("\x01\"%D"), KERMIT_MAX_LENGTH, -3},
      {"LEN 0 without long packets", longOne, KERMIT_SHORT_MAX, -3},
      {"LENX over the agreed maximum", longOne, 490, -3},
      {"LENX 0", zeroLength, KERMIT_MAX_LENGTH, -3},
      {"header check", badHeader, KERMIT_MAX_LENGTH, -2},
      {"flipped data bit", flipped, KERMIT_MAX_LENGTH, -2},
      {"SEQ out of range", bytesOf("\x01#\x7f" "D"), KERMIT_MAX_LENGTH, -3},
      {"endless noise", Bytes(3 * KERMIT_WIRE_MAX, 'x'), KERMIT_MAX_LENGTH, -3},
  };
  for (const Case& c : cases) {
    KermitReader r;
    r.maxLength = c.maxLength;
    r.checkType = 2;
    EXPECT_EQ(feed(r, c.stream, {}).result, c.result) << c.name;
  }
}

// The send-init agreement as each side sees it. When the two sides name
// different checks, both use type 1; eight-bit prefixing follows the entry.
TEST(KermitPacket, SendInitAgreement) {
  struct {
    bool weSend;
    bool eightBit;
    int packetSize;
    std::string theirs;
    int check, remoteMax;
    uint8_t qbin;
  } cases[] = {
      {false, false, 1024, "~' @-#Y3~*!J*0+++J\"U1@", 3, 1024, 0},  // gkermit's own
      {false, true, 9024, "~' @-#Y2~*!J*", 2, 4000, '&'},
      {false, true, 90, "~' @-#N1~*!J*", 1, 94, 0},
      {true, true, 1024, "~  @-#Y3~*!J*", 3, 1024, '&'},
      {true, false, 1024, "~_ @-#Y2~*!#*", 1, 295, 0},
  };
  for (auto& c : cases) {
    KermitOptions ours = kermitOptionsFrom(c.eightBit, c.packetSize);
    Bytes theirs = bytesOf(c.theirs);
    KermitAgreed a;
    uint8_t reply[32];
    size_t n = 0;
    if (c.weSend) kermitTakeInitAck(ours, theirs.data(), theirs.size(), &a);
    else n = kermitAnswerInit(ours, theirs.data(), theirs.size(), &a, reply);
    EXPECT_EQ(a.checkType, c.check) << c.theirs;
    EXPECT_EQ(a.remoteMax, c.remoteMax) << c.theirs;
    EXPECT_EQ(a.send.qbin, c.qbin) << c.theirs;
    if (n) {
      EXPECT_EQ(kermitParseInit(reply, n).chkt, '0' + c.check) << c.theirs;
    }
  }
}
