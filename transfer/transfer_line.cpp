#include "transfer/transfer_line.h"

#include "shell/pump.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_state.h"

// Empty polls before a wait gives the turn to the pump. A reply usually
// arrives within a fraction of a millisecond; yielding at once would cost a
// whole pump turn per block.
constexpr int IDLE_SPIN = 256;
// A line that answers at once never reaches the idle pump: the dialog still
// gets its turn this often, or Cancel and repaints wait for the end.
constexpr uint32_t TURN_PACE_MS = 50;

int lineWaiting() {
  TransferState& s = transferState();
  s.lineAnswered = false;
  if (!linkConnected()) return LINK_LOST;
  int in = 0;
  int r = linkPoll(&in, nullptr);
  if (r < 0) return LINK_LOST;
  s.lineAnswered = true;
  return in > 0 ? in : 0;
}

int lineRead(uint8_t* buffer, int count) {
  if (!linkConnected()) return LINK_LOST;
  if (count <= 0) return 0;
  TransferState& s = transferState();
  int n = linkRead(buffer, count);
  s.lineAnswered = n != LINK_LOST;
  if (n == LINK_LOST) return LINK_LOST;
  if (n <= 0) return 0;
  s.idlePolls = 0;
  return n;
}

int lineIdle() {
  TransferState& s = transferState();
  if (++s.idlePolls < IDLE_SPIN) return 0;
  s.lineAnswered = false;  // the pump may run anything, the line's end too
  return pumpOne() < 0 ? -1 : 0;
}

int linePacedTurn() {
  TransferState& s = transferState();
  uint32_t now = clockTicks();
  if (now - s.turnTick < TURN_PACE_MS) return 0;
  s.turnTick = now;
  s.lineAnswered = false;
  for (int i = 0; i < 16; ++i) {
    int r = pumpTurn();
    if (r < 0) return -1;
    if (r == 0) break;
  }
  return 0;
}

int awaitResponse() {
  TransferState& s = transferState();
  if (linePacedTurn() < 0) return XFER_USER_CANCEL;
  s.responseTimedOut = false;
  timerStart(TIMER_RESPONSE, RESPONSE_MS, &s.responseTimedOut);
  int result = XFER_TIMEOUT;
  for (;;) {
    if (s.cancelRequested) {
      result = XFER_USER_CANCEL;
      break;
    }
    if (s.responseTimedOut) {
      result = XFER_TIMEOUT;
      break;
    }
    int waiting = lineWaiting();
    if (waiting < 0) {
      result = LINK_LOST;
      break;
    }
    uint8_t b = 0;
    int n = waiting > 0 ? lineRead(&b, 1) : 0;
    if (n < 0) {
      result = LINK_LOST;
      break;
    }
    if (n == 0) {
      if (lineIdle() < 0) {
        result = XFER_USER_CANCEL;
        break;
      }
      continue;
    }
    s.lastResponseChar = b;
    if (b == ACK) result = RESPONSE_ACK;
    else if (b == NAK) result = RESPONSE_NAK;
    else if (b == CAN) result = RESPONSE_CAN;
    else if (b == START_CRC || b == START_STREAM) result = RESPONSE_START;
    else continue;
    break;
  }
  timerKill(TIMER_RESPONSE);
  return result;
}

int sendLineBytes(const uint8_t* bytes, int length) {
  TransferState& s = transferState();
  if (!linkConnected()) return LINK_LOST;
  if (length <= 0) return 0;
  if (s.cancelRequested) return XFER_USER_CANCEL;
  if (s.writeTimedOut) return XFER_TIMEOUT;
  // A line that has just answered is still there: no second look before
  // every frame and reply (each look is a call into the system).
  if (!s.lineAnswered && lineWaiting() == LINK_LOST) return LINK_LOST;
  if (!terminalOptions.telnet) {
    if (linkWrite(bytes, length) < 0) return lineWaiting() == LINK_LOST ? LINK_LOST : XFER_TIMEOUT;
    s.lineAnswered = true;
    return length;
  }
  // Telnet data: every 0xFF goes out twice. A frame leaves in one write, up to
  // the longest Kermit packet: the tail of a split frame waits in the TCP
  // stack for the acknowledgement of its head, tens of milliseconds a frame.
  uint8_t out[2 * 9216];
  int done = 0;
  while (done < length) {
    int n = 0;
    while (done < length && n < static_cast<int>(sizeof out) - 1) {
      uint8_t b = bytes[done++];
      out[n++] = b;
      if (b == 0xFF) out[n++] = b;
    }
    if (linkWrite(out, n) < 0) return lineWaiting() == LINK_LOST ? LINK_LOST : XFER_TIMEOUT;
  }
  s.lineAnswered = true;
  return length;
}

int sendLineByte(uint8_t b) { return sendLineBytes(&b, 1); }

int sendCancel(int count) {
  uint8_t cans[8] = {CAN, CAN, CAN, CAN, CAN, CAN, CAN, CAN};
  if (count > 8) count = 8;
  // A cancel must go out even when the user asked for it.
  TransferState& s = transferState();
  bool cancelled = s.cancelRequested;
  s.cancelRequested = false;
  int r = sendLineBytes(cans, count);
  s.cancelRequested = cancelled;
  return r;
}

void linePurgeOutput() { linkPurge(1); }
void linePurgeInput() { linkPurge(0); }

void transferLineTake(bool sending) {
  const TransferState& s = transferState();
  if (s.protocol == PROTOCOL_ASCII) return;
  linkSetSoftwareFlow(!sending, sending);
  if (s.protocol != PROTOCOL_KERMIT) linkSetTransferFormat(true);
}

void transferLineGiveBack() {
  const TransferState& s = transferState();
  linkSetTransferFormat(false);
  bool on = s.settings.flowControl >= 2;
  linkSetSoftwareFlow(on, on);
}
