// The Kermit state of the running transfer and the packet primitives the
// receiver and the sender share: build and send a packet with the agreed
// padding and end-of-line, keep it for a resend, and read the next packet.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "transfer/kermit_init.h"
#include "transfer/kermit_packet.h"

struct KermitState {
  KermitOptions options;
  KermitAgreed agreed;
  KermitReader reader;
  int seq = 0;               // next packet to send or to accept
  bool initPending = false;  // our send-init waits for its acknowledgement
  bool fileOpen = false;     // a received file is being written
  // The last packet sent, as it went out, for resends.
  uint8_t last[KERMIT_WIRE_MAX + 128];
  size_t lastLength = 0;
  uint32_t sentTick = 0;     // when it went out
  // Bytes read from the line but not yet fed to the reader: room for a few
  // of the longest packets, so one read takes all that waits.
  uint8_t input[32768];
  size_t inputStart = 0;
  size_t inputEnd = 0;
  std::vector<uint8_t> decoded;
};

// The instance of the current TransferState.
KermitState& kermitState();

// Back to the opening state with the options of the current transfer settings.
void kermitReset(KermitState& k);
// Drops a half-read packet and any bytes read but not yet looked at.
void kermitDropInput(KermitState& k);
// Sends one packet with the current block check (type 1 forced for the
// send-init exchange). 0 or a negative code of the line.
int kermitSendPacket(KermitState& k, char type, int seq, const uint8_t* data, size_t n,
                     int checkType);
// Sends the last packet again (padding, packet, end-of-line).
int kermitResend(KermitState& k);
// Feeds bytes already read, then reads what waits on the line: 1 when a packet
// is in k.reader, 0 when nothing complete waits, -2/-3 for a broken packet,
// -16 when the line is gone.
int kermitReadPacket(KermitState& k);
// The reader's packet data with the other side's prefixing undone.
const std::vector<uint8_t>& kermitDecodedData(KermitState& k);
