// The send-init exchange: the "S" packet's fields and their acknowledgement
// decide the packet lengths, block check, prefixes, padding, end-of-line
// character and time-out each side uses from the next packet on.
#pragma once
#include <cstddef>
#include <cstdint>

#include "transfer/kermit_prefix.h"

// What this side is willing to do, from the session record.
struct KermitOptions {
  bool eightBitPrefixing = false;
  int packetSize = 1024;  // longest packet this side takes and sends
  int timeoutSeconds = 10;
};

// The send-init fields of one side, decoded, with the protocol's defaults
// for the fields it left out.
struct KermitInit {
  int maxl = 94;
  int time = 10;
  int npad = 0;
  uint8_t padc = 0;
  uint8_t eol = 13;
  uint8_t qctl = '#';
  uint8_t qbin = 'N';
  uint8_t chkt = '1';
  uint8_t rept = ' ';
  int capas = 0;
  int maxlx = 500;
};

// What both sides use once the exchange is done.
struct KermitAgreed {
  int checkType = 1;
  KermitPrefixing send;     // applied to the data we send (our QCTL)
  KermitPrefixing receive;  // undone on the data we receive (their QCTL)
  bool longPackets = false;
  bool attributes = false;
  int remoteMax = 94;   // longest packet the other side takes
  int receiveMax = 94;  // longest packet we take
  int timeoutSeconds = 10;
  int npad = 0;
  uint8_t padc = 0;
  uint8_t eol = 13;
};

constexpr int KERMIT_CAPAS_LONG = 2;
constexpr int KERMIT_CAPAS_ATTRIBUTES = 8;

KermitOptions kermitOptionsFrom(bool eightBitPrefixing, int entryPacketSize);
KermitInit kermitParseInit(const uint8_t* data, size_t n);
// Receiver: takes the other side's "S" data, fills *agreed and writes the
// fields of the acknowledgement to reply (at least 16 bytes). Returns their count.
size_t kermitAnswerInit(const KermitOptions& ours, const uint8_t* data, size_t n,
                        KermitAgreed* agreed, uint8_t* reply);
// Sender: writes the fields of our "S" to out (at least 16 bytes).
size_t kermitOfferInit(const KermitOptions& ours, uint8_t* out);
// Sender: takes the acknowledgement of our "S".
void kermitTakeInitAck(const KermitOptions& ours, const uint8_t* data, size_t n,
                       KermitAgreed* agreed);
