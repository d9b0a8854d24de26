// The data field's prefixing, the send-init agreement and the attribute
// packet, each fed what real peers send.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transfer/kermit_attributes.h"
#include "transfer/kermit_init.h"

namespace {

using Bytes = std::vector<uint8_t>;
Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

// gkermit's send-init fields: long packets up to 4000, attributes, check 3,
// repeat prefix "~", eight-bit prefixing on request.
const std::string gkermitInit = "~' @-#Y3~*!J*0+++J\"U1@";

}  // namespace

// Every byte value and long runs survive encoding in pieces of every small
// size; a byte's sequence is never split and no bare control leaves.
TEST(KermitFields, EncodingRoundTripsUnderEveryPrefixing) {
  Bytes src;
  for (int i = 0; i < 256; i++) src.push_back(uint8_t(i));
  src.insert(src.end(), 200, 0x00);
  src.insert(src.end(), 3, '~');
  src.insert(src.end(), 97, 0xA3);
  for (uint8_t qbin : {uint8_t(0), uint8_t('&')}) {
    for (uint8_t rept : {uint8_t(0), uint8_t('~')}) {
      KermitPrefixing p;
      p.qbin = qbin;
      p.rept = rept;
      for (size_t cap = 5; cap < 12; cap++) {
        Bytes decoded;
        size_t at = 0;
        while (at < src.size()) {
          uint8_t out[16];
          size_t len = 0;
          size_t used = kermitEncode(p, src.data() + at, src.size() - at, out, cap, &len);
          ASSERT_GT(used, 0u);
          for (size_t i = 0; i < len; i++) {
            uint8_t low = out[i] & 0x7F;
            ASSERT_TRUE(low >= 32 && low < 127);
            if (qbin) {
              ASSERT_LT(out[i], 0x80);
            }
          }
          kermitDecode(p, out, len, decoded);
          at += used;
        }
        EXPECT_EQ(decoded, src) << int(qbin) << " " << int(rept) << " " << cap;
      }
    }
  }
}

// The sequences of the published protocol, as peers send them.
TEST(KermitFields, DecodesPeerSequences) {
  KermitPrefixing p;
  p.qbin = '&';
  p.rept = '~';
  struct {
    std::string wire;
    Bytes bytes;
  } cases[] = {
      {"#M#J", {13, 10}},
      {"&#A&a##&&#~#&", {0x81, 0xE1, '#', 0xA6, '~', '&'}},
      {"~$a~#&#@", {'a', 'a', 'a', 'a', 0x80, 0x80, 0x80}},
      {"#?", {127}},
      {"~", {}},
      {"&", {}},
      {"~\x7f" "b", {}},
  };
  for (auto& c : cases) {
    Bytes out;
    Bytes wire = bytesOf(c.wire);
    kermitDecode(p, wire.data(), wire.size(), out);
    EXPECT_EQ(out, c.bytes) << c.wire;
  }
}

// Answering gkermit: its request for check 3 is met (both sides then use the
// same type), the long packet length is held to the entry's, and eight-bit
// prefixing follows the entry only.
TEST(KermitFields, ReceiverAnswersARealPeersInit) {
  Bytes theirs = bytesOf(gkermitInit);
  struct {
    bool eightBit;
    int packetSize;
    int remoteMax;
    uint8_t qbin;
    bool longPackets;
  } cases[] = {
      {false, 1024, 1024, 0, true},
      {true, 9024, 4000, '&', true},
      {false, 90, 94, 0, false},
  };
  for (auto& c : cases) {
    KermitAgreed a;
    uint8_t reply[32];
    size_t n = kermitAnswerInit(kermitOptionsFrom(c.eightBit, c.packetSize), theirs.data(),
                                theirs.size(), &a, reply);
    KermitInit ours = kermitParseInit(reply, n);
    EXPECT_EQ(a.checkType, 3);
    EXPECT_EQ(ours.chkt, '3');
    EXPECT_EQ(a.remoteMax, c.remoteMax);
    EXPECT_EQ(a.send.qbin, c.qbin);
    EXPECT_EQ(ours.qbin, c.qbin ? c.qbin : 'N');
    EXPECT_EQ(a.longPackets, c.longPackets);
    EXPECT_EQ(bool(ours.capas & KERMIT_CAPAS_LONG), c.longPackets);
    if (c.longPackets) {
      EXPECT_EQ(ours.maxlx, c.packetSize);
    }
    EXPECT_EQ(a.send.rept, '~');
    EXPECT_EQ(a.timeoutSeconds, 7);
    EXPECT_EQ(a.eol, 13);
  }
}

// Our sender's init taken back by a peer's acknowledgement: when the peer
// names another check than ours, both fall back to type 1.
TEST(KermitFields, SenderTakesTheAcknowledgement) {
  KermitOptions ours = kermitOptionsFrom(true, 0);
  uint8_t offer[32];
  size_t n = kermitOfferInit(ours, offer);
  KermitInit sent = kermitParseInit(offer, n);
  EXPECT_EQ(sent.chkt, '3');
  EXPECT_EQ(sent.capas, KERMIT_CAPAS_LONG | KERMIT_CAPAS_ATTRIBUTES);
  EXPECT_EQ(sent.maxlx, 1024);
  struct {
    std::string ack;
    int check;
    int remoteMax;
    bool eightBit;
    int timeout;
  } cases[] = {
      {"~  @-#Y3~*!J*", 3, 1024, true, 10},
      {"~  @-#Y2~*!J*", 1, 1024, true, 10},
      {"~_ @-#N3~*!#*", 3, 295, false, 60},
      {"D# @-#&1", 1, 36, true, 3},
  };
  for (auto& c : cases) {
    KermitAgreed a;
    Bytes ack = bytesOf(c.ack);
    kermitTakeInitAck(ours, ack.data(), ack.size(), &a);
    EXPECT_EQ(a.checkType, c.check) << c.ack;
    EXPECT_EQ(a.remoteMax, c.remoteMax) << c.ack;
    EXPECT_EQ(a.send.qbin != 0, c.eightBit) << c.ack;
    EXPECT_EQ(a.timeoutSeconds, c.timeout) << c.ack;
  }
}

TEST(KermitFields, AttributeLengths) {
  struct {
    std::string wire;
    uint32_t bytes;
    bool approximate;
  } cases[] = {
      {"!\"10", 9216, true},
      {"!!0", 0, true},
      {"#&123456!\"10", 9216, true},
      {"1%12345!\"99", 12345, false},
      {"!+99999999999", 0xFFFFFFFFu, true},
      {"!~12", 0, false},
  };
  for (auto& c : cases) {
    Bytes wire = bytesOf(c.wire);
    KermitFileSize s = kermitReadAttributes(wire.data(), wire.size());
    EXPECT_EQ(s.bytes, c.bytes) << c.wire;
    EXPECT_EQ(s.approximate, c.approximate) << c.wire;
  }
  uint8_t out[32];
  size_t n = kermitWriteAttributes(700, out);
  KermitFileSize s = kermitReadAttributes(out, n);
  EXPECT_EQ(s.bytes, 700u);
  EXPECT_FALSE(s.approximate);
}
