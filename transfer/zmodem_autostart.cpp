// The ZMODEM auto-start: "**" and CAN in the received stream arm a capture of
// what follows into the read buffer; after the chunk the check reads the
// header there and opens a receive only for a sender's ZRQINIT.
#include <cstring>

#include "terminal/hooks.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "transfer/protocol_table.h"
#include "terminal/link.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_line.h"
#include "transfer/zmodem.h"

namespace {
bool capturing = false;

void stopCapture(ZmodemState& z) {
  capturing = false;
  linkSetTransferFormat(false);
  z.inCount = z.inPos = 0;
  z.keepInput = false;
  transferState().active = false;
}
// No header after all: what the capture took after "**" CAN belongs on the
// screen. The capture is off first, so the terminal shows it as text.
void giveBack(ZmodemState& z) {
  uint8_t text[ZREAD_BUFFER];
  int n = z.inCount - 3;
  if (n > 0) std::memcpy(text, z.in + 3, static_cast<size_t>(n));
  stopCapture(z);
  if (n > 0) processReceived(text, n);
}
}  // namespace


bool zmodemCaptureActive() { return capturing; }

void zmodemArmCapture() {
  if (capturing) return;
  TransferState& s = transferState();
  ZmodemState& z = zmodemState();
  zmodemReset(z);
  z.owner = &s;
  zReadHeaders(z.reader, terminalOptions.telnet ? 10000 : 9600 + 1400);
  z.in[0] = ZPAD;
  z.in[1] = ZPAD;
  z.in[2] = ZDLE;
  z.inCount = 3;
  capturing = true;
  s.active = true;
  // The header and what follows are 8-bit: a 7-bit serial line switches now.
  linkSetTransferFormat(true);
}

void zmodemCaptureByte(uint8_t b) {
  ZmodemState& z = zmodemState();
  if (z.inCount >= ZREAD_BUFFER) {
    stopCapture(z);
    return;
  }
  z.in[z.inCount++] = b;
}

void zmodemAutoStartCheck() {
  if (!capturing) return;
  ZmodemState& z = zmodemState();
  while (z.inCount < ZREAD_BUFFER) {
    int n = lineRead(z.in + z.inCount, ZREAD_BUFFER - z.inCount);
    if (n <= 0) break;
    z.inCount += n;
  }
  int v = ZR_MORE;
  while (v == ZR_MORE && z.inPos < z.inCount) v = zReadPush(z, z.in[z.inPos++]);
  if (v == ZR_MORE) {
    // A header cut by the end of the chunk stays armed for the next one;
    // plain text after "**" CAN (ANSI art, binary output) drops the capture.
    bool midHeader = z.reader.mode != ZM_SEEK && z.inCount < ZREAD_BUFFER;
    if (!midHeader) giveBack(z);
    return;
  }
  if (v == ZRQINIT) {
    capturing = false;
    z.keepInput = true;
    if (!terminalHooks.zmodemOpenReceive()) stopCapture(z);
    return;
  }
  if (v == ZRINIT) {
    // Our own sender's echo: nothing to start.
    stopCapture(z);
    return;
  }
  if (v >= 0) {
    stopCapture(z);
    sendCancel(5);
    return;
  }
  // A damaged header: ask the remote side to prove it is a sender. What the
  // capture took is kept so that, unanswered, it still reaches the screen.
  uint8_t taken[ZREAD_BUFFER];
  int takenCount = z.inCount;
  std::memcpy(taken, z.in, static_cast<size_t>(takenCount));
  sendPositionHeader(ZCHALLENGE, 0, true);
  int r = readHeader();
  if (r == ZACK) {
    capturing = false;
    z.keepInput = true;
    if (terminalHooks.zmodemOpenReceive()) return;
  }
  // The wait may have read past the capture: its unread rest follows.
  bool refilled = z.inCount != takenCount || std::memcmp(z.in, taken, static_cast<size_t>(takenCount)) != 0;
  uint8_t rest[ZREAD_BUFFER];
  int restCount = refilled ? z.inCount - z.inPos : 0;
  if (restCount > 0) std::memcpy(rest, z.in + z.inPos, static_cast<size_t>(restCount));
  stopCapture(z);
  if (takenCount > 3) processReceived(taken + 3, takenCount - 3);
  if (restCount > 0) processReceived(rest, restCount);
}

void zmodemAutoStartInstall() {
  terminalHooks.zmodemCaptureActive = zmodemCaptureActive;
  terminalHooks.zmodemCaptureByte = zmodemCaptureByte;
  terminalHooks.zmodemArmCapture = zmodemArmCapture;
  terminalHooks.zmodemAutoStartCheck = zmodemAutoStartCheck;
}
