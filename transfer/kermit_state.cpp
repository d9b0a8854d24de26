#include "transfer/kermit_state.h"

#include "shell/pump.h"

#include <cstring>

#include "terminal/link.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_state.h"

namespace {
// The Kermit state belongs to the transfer it serves: a test that runs our
// sender against our receiver switches TransferState, and the packet state
// must switch with it. Two transfers at most are ever live at once.
struct Slot {
  const TransferState* owner = nullptr;
  KermitState state;
};
Slot slots[2];
int lastUsed = 0;
}  // namespace

KermitState& kermitState() {
  const TransferState* t = &transferState();
  for (int i = 0; i < 2; i++) {
    if (slots[i].owner == t) {
      lastUsed = i;
      return slots[i].state;
    }
  }
  lastUsed = 1 - lastUsed;
  slots[lastUsed].owner = t;
  return slots[lastUsed].state;
}

void kermitReset(KermitState& k) {
  const TransferSettings& settings = transferState().settings;
  k.options = kermitOptionsFrom(settings.kermitEightbit, settings.kermitPacketSize);
  k.agreed = KermitAgreed();
  k.reader.checkType = 1;
  k.reader.maxLength = KERMIT_SHORT_MAX;
  kermitDropInput(k);
  k.seq = 0;
  k.initPending = false;
  k.fileOpen = false;
  k.lastLength = 0;
}

void kermitDropInput(KermitState& k) {
  kermitReaderReset(k.reader);
  k.inputStart = k.inputEnd = 0;
}

int kermitSendPacket(KermitState& k, char type, int seq, const uint8_t* data, size_t n,
                     int checkType) {
  size_t pad = size_t(k.agreed.npad);
  std::memset(k.last, k.agreed.padc, pad);
  int length = kermitBuildPacket(k.last + pad, type, seq, data, n, checkType);
  if (length < 0) return length;
  k.lastLength = pad + size_t(length);
  k.last[k.lastLength++] = k.agreed.eol;
  return kermitResend(k);
}

int kermitResend(KermitState& k) {
  if (k.lastLength == 0) return 0;
  k.sentTick = clockTicks();
  int r = sendLineBytes(k.last, int(k.lastLength));
  return r < 0 ? r : 0;
}

int kermitReadPacket(KermitState& k) {
  for (;;) {
    while (k.inputStart < k.inputEnd) {
      size_t used = 0;
      int r = kermitReaderFeed(k.reader, k.input + k.inputStart, k.inputEnd - k.inputStart, &used);
      k.inputStart += used;
      if (r != 0) return r;
    }
    // Asking first lets a line that can wait for input do so.
    int waiting = lineWaiting();
    if (waiting <= 0) return waiting < 0 ? LINK_LOST : 0;
    int n = lineRead(k.input, int(sizeof k.input));
    if (n < 0) return LINK_LOST;
    if (n == 0) return 0;
    k.inputStart = 0;
    k.inputEnd = size_t(n);
  }
}

const std::vector<uint8_t>& kermitDecodedData(KermitState& k) {
  k.decoded.clear();
  kermitDecode(k.agreed.receive, k.reader.data, k.reader.dataLength, k.decoded);
  return k.decoded;
}
