#include "terminal/link.h"
#include "transfer/block_frame.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_view.h"
#include "transfer/xmodem.h"

// Replies still waiting before a new frame goes out answer an earlier one (a
// repeated ACK would acknowledge the new frame unseen). Two CANs among them
// still cancel.
int dropStaleReplies() {
  uint8_t buffer[64];
  int cans = 0;
  while (lineWaiting() > 0) {
    int n = lineRead(buffer, sizeof buffer);
    if (n <= 0) return n;
    for (int i = 0; i < n; ++i) {
      cans = buffer[i] == CAN ? cans + 1 : 0;
      if (cans >= 2) return XFER_CANCEL_RECEIVED;
    }
  }
  return 0;
}

int sendUntilAcknowledged(int frameLength) {
  TransferState& s = transferState();
  int retries = 0;
  int stale = dropStaleReplies();
  if (stale < 0) return stale;
  for (;;) {
    int w = sendLineBytes(s.sendFrame, frameLength);
    if (w < 0) return w;
    int r;
    do r = awaitResponse();
    while (r == RESPONSE_START);
    if (r == RESPONSE_ACK) return 0;
    // A receiver's cancel fails the send with its own text, "cancel
    // received", rather than a positive status the dialog shows as "Error".
    if (r == RESPONSE_CAN) return XFER_CANCEL_RECEIVED;
    if (r != RESPONSE_NAK && r != XFER_TIMEOUT) return r;
    ++s.errorCount;
    if (++retries > s.settings.maxErrors) {
      sendCancel(2);
      return XFER_MAX_ERRORS;
    }
    showRetry(r == RESPONSE_NAK ? "NAK Received" : "timeout");
  }
}

int sendAcknowledgedBlocks(int blockSize, bool crc) {
  TransferState& s = transferState();
  uint8_t block = 1;
  for (;;) {
    int n = fileReadAt(s.file, s.localPath, s.byteCount, s.sendFrame + 3, blockSize);
    if (n < 0) return n;
    if (n == 0) return fileClose(s.file);
    int length = buildFrame(s, block, s.sendFrame + 3, n, blockSize, crc, XMODEM_PAD);
    s.byteCount += static_cast<uint32_t>(n);
    updateProgressPaced(1);
    int r = sendUntilAcknowledged(length);
    if (r < 0) return r;
    ++block;
  }
}

// EOT until the receiver acknowledges it (it may ask for it twice).
static int sendEndOfFile() {
  TransferState& s = transferState();
  int tries = 0;
  int stale = dropStaleReplies();
  if (stale < 0) return stale;
  int w = sendLineByte(EOT);
  if (w < 0) return w;
  for (;;) {
    int r = awaitResponse();
    if (r == RESPONSE_ACK) return 0;
    if (r == RESPONSE_START) continue;
    if (r == RESPONSE_CAN) return XFER_CANCEL_RECEIVED;
    if (r != RESPONSE_NAK && r != XFER_TIMEOUT) return r;
    if (++tries > s.settings.maxErrors) {
      sendCancel(2);
      return XFER_MAX_ERRORS;
    }
    w = sendLineByte(EOT);
    if (w < 0) return w;
  }
}

int xmodemSend() {
  TransferState& s = transferState();
  int blockSize = s.protocol == PROTOCOL_XMODEM_1K ? 1024 : 128;
  bool crc;
  if (s.lastResponseChar == START_CRC) {
    crc = true;
  } else if (s.lastResponseChar == NAK) {
    crc = false;
  } else {
    int r = awaitResponse();
    if (r == RESPONSE_NAK) crc = false;
    else if (r == RESPONSE_START) crc = true;
    else if (r == RESPONSE_CAN) return XFER_CANCEL_RECEIVED;
    else return r < 0 ? r : XFER_PROTOCOL_ERROR;
  }
  s.fileSize = static_cast<uint32_t>(fileSizeOf(s.localPath) < 0 ? 0 : fileSizeOf(s.localPath));
  s.byteCount = 0;
  int r = sendAcknowledgedBlocks(blockSize, crc);
  if (r < 0) return r;
  return sendEndOfFile();
}
