#include "transfer/receive_loop.h"

#include "shell/pump.h"
#include "terminal/link.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_state.h"
#include "transfer/transfer_view.h"

static void startInactivity(TransferState& s) {
  // A text capture has no time-out: it ends at its end byte or by Cancel.
  if (s.protocol == PROTOCOL_ASCII) return;
  s.inactivityExpired = false;
  s.inactivityRunning = true;
  timerStart(TIMER_INACTIVITY, s.protocol == PROTOCOL_ZMODEM ? ZMODEM_READ_MS : INACTIVITY_MS, &s.inactivityExpired);
}

static void stopInactivity(TransferState& s) {
  s.inactivityRunning = false;
  timerKill(TIMER_INACTIVITY);
}

// The viewer and whoever looks at the file next find it closed.
static void finishJpeg(TransferState& s) {
  fileClose(s.file);
  if (s.realTimeJpeg) transferView.jpegFinish();
  s.realTimeJpeg = false;
}

int receiveBegin() {
  TransferState& s = transferState();
  s.active = true;
  s.startTick = clockTicks();
  int r = protocolReceiveBegin(s.protocol);
  if (r < 0) return r;
  startInactivity(s);
  return 0;
}

void abortReceive(int code) {
  TransferState& s = transferState();
  s.firstBlockSeen = false;
  protocolReceiveAbort(s.protocol, code);
  viewBeep();
  linePurgeOutput();
  s.pendingCount = 0;
  s.frameLength = 0;
  s.byteCount = 0;
  s.active = false;
  finishJpeg(s);
  viewText(FIELD_ERROR, transferErrorText(code));
  s.endCode = code;
  s.errorCount = 0;
  viewText(FIELD_STATUS, "Transfer Cancelled");
}

int receiveStepResult(int result) {
  TransferState& s = transferState();
  switch (result) {
    case STEP_NOTHING:
      return 0;
    case STEP_BLOCK:
      startInactivity(s);
      return STEP_BLOCK;
    case STEP_COMPLETE:
      fileClose(s.file);
      return STEP_COMPLETE;
    case STEP_NEXT_FILE:
      s.expectedBlock = 0;
      s.byteCount = 0;
      s.fileSize = 0;
      s.pendingCount = 0;
      s.frameLength = 0;
      s.errorCount = 0;
      s.firstBlockSeen = false;
      s.startTick = clockTicks();
      finishJpeg(s);
      startInactivity(s);
      return STEP_NEXT_FILE;
    case LINK_LOST:
      abortReceive(LINK_LOST);
      return LINK_LOST;
    default:
      break;
  }
  bool retryable = result == XFER_CRC_ERROR || result == XFER_BAD_PACKET || result == XFER_BAD_SEQUENCE;
  if (!retryable || s.protocol == PROTOCOL_YMODEM_G || result > 0) {
    abortReceive(result);
    return XFER_TIMEOUT;
  }
  if (++s.errorCount > s.settings.maxErrors) {
    abortReceive(result);
    return XFER_TIMEOUT;
  }
  s.pendingCount = 0;
  s.frameLength = 0;
  protocolReceiveRetry(s.protocol);
  startInactivity(s);
  showRetry(transferErrorText(result));
  return 0;
}

int receiveTimeoutStep() {
  TransferState& s = transferState();
  s.inactivityExpired = false;
  if (++s.errorCount > s.settings.maxErrors) {
    abortReceive(XFER_TIMEOUT);
    return XFER_MAX_ERRORS;
  }
  startInactivity(s);
  showRetry("timeout");
  s.pendingCount = 0;
  s.frameLength = 0;
  protocolReceiveTimeout(s.protocol);
  return 0;
}

// The pass over what the look just before found waiting (negative: the line is gone).
static int passOver(TransferState& s, int waiting) {
  if (s.inactivityExpired) return receiveTimeoutStep();
  if (waiting < 0) {
    abortReceive(LINK_LOST);
    return LINK_LOST;
  }
  if (waiting == 0) return 0;
  stopInactivity(s);
  int r = receiveStepResult(protocolReceiveStep(s.protocol));
  if (r == STEP_COMPLETE || r < 0) return r;
  if (!s.inactivityRunning) startInactivity(s);
  return 0;
}

int receivePass() {
  TransferState& s = transferState();
  if (s.inactivityExpired) return receiveTimeoutStep();
  return passOver(s, lineWaiting());
}

int receiveRun() {
  TransferState& s = transferState();
  while (!s.cancelRequested) {
    // One look a turn: the pass works on what it found.
    if (linePacedTurn() < 0) break;
    int waiting = lineWaiting();
    if ((waiting == 0 && lineIdle() < 0) || s.cancelRequested) break;
    int r = passOver(s, waiting);
    if (r == STEP_COMPLETE || r < 0) {
      stopInactivity(s);
      fileClose(s.file);
      return r;
    }
  }
  fileClose(s.file);
  return XFER_USER_CANCEL;
}

void receiveCancelByUser() {
  TransferState& s = transferState();
  stopInactivity(s);
  if (s.cancelRequested || !s.active || lineWaiting() < 0) return;
  s.cancelRequested = true;
  if (s.protocol != PROTOCOL_ASCII) protocolReceiveCancel(s.protocol);
  viewText(FIELD_ERROR, "Error");
  viewText(FIELD_STATUS, "user cancelled");
  viewText(FIELD_BUTTON, "OK");
  finishJpeg(s);
  linePurgeOutput();
}
