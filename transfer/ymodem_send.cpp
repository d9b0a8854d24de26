#include <cstring>

#include "shell/pump.h"
#include "terminal/link.h"
#include "transfer/block_frame.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_view.h"
#include "transfer/xmodem.h"
#include "transfer/ymodem.h"

// Starts entry i: its path, counters and display. The file's size (0: an
// empty file, skipped), or a negative code when it cannot be opened.
static int64_t startEntry(TransferState& s, int i) {
  s.startTick = clockTicks();
  s.byteCount = 0;
  s.errorCount = 0;
  std::strncpy(s.localPath, batchPath(s.batch, i), sizeof s.localPath - 1);
  s.localPath[sizeof s.localPath - 1] = 0;
  showFileName(s.localPath);
  int64_t size = fileSizeOf(s.localPath);
  if (size < 0) return XFER_FILE_OPEN;
  if (size > 0xFFFFFFFFLL) size = 0xFFFFFFFFLL;
  s.fileSize = static_cast<uint32_t>(size);
  showFileSize(s.fileSize);
  if (size == 0) viewText(FIELD_ERROR, "File is zero length");
  updateProgress(1);
  return size;
}

// Waits for the receiver's "C" (or "G") unless it already came.
static int awaitStart(TransferState& s, int already) {
  if (s.lastResponseChar == already) {
    s.lastResponseChar = -1;
    return 0;
  }
  int r;
  do r = awaitResponse();
  while (r == RESPONSE_ACK || r == RESPONSE_NAK);
  s.lastResponseChar = -1;
  if (r == RESPONSE_START) return 0;
  if (r == RESPONSE_CAN) return XFER_CANCEL_RECEIVED;
  return r < 0 ? r : XFER_PROTOCOL_ERROR;
}

static int headerFrame(TransferState& s, const char* name, uint32_t size) {
  uint8_t data[128];
  buildYmodemHeader(name, size, data);
  return buildFrame(s, 0, data, 128, 128, true, 0);
}

// After the last data block of a file: EOT until the receiver acknowledges it
// and asks for the next header with "C".
static int endFileAcknowledged(TransferState& s) {
  int tries = 0;
  int w = sendLineByte(EOT);
  if (w < 0) return w;
  for (;;) {
    int r = awaitResponse();
    if (r == RESPONSE_ACK) {
      tries = 0;
      continue;
    }
    if (r == RESPONSE_START) return 0;
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

static int sendEndOfBatch(TransferState& s) {
  int length = headerFrame(s, "", 0);
  return sendUntilAcknowledged(length);
}

int ymodemSend() {
  TransferState& s = transferState();
  int count = batchCount(s.batch);
  for (int i = 0; i < count; ++i) {
    int64_t size = startEntry(s, i);
    if (size < 0) return static_cast<int>(size);
    if (size == 0) continue;
    int r = awaitStart(s, START_CRC);
    if (r < 0) return r;
    r = sendUntilAcknowledged(headerFrame(s, baseName(s.localPath), s.fileSize));
    if (r < 0) return r;
    // The data phase starts with the receiver's "C"; a failed file ends the batch.
    r = awaitStart(s, -2);
    if (r < 0) return r;
    r = sendAcknowledgedBlocks(1024, true);
    if (r < 0) return r;
    r = endFileAcknowledged(s);
    if (r < 0) return r;
    s.lastResponseChar = START_CRC;
  }
  if (s.lastResponseChar != START_CRC) {
    int r = awaitStart(s, START_CRC);
    if (r < 0) return r;
  }
  return sendEndOfBatch(s);
}

// Streams the file without waiting; a receiver's two CANs stop it.
static int streamBlocks(TransferState& s) {
  uint8_t block = 1;
  for (;;) {
    int waiting = lineWaiting();
    if (waiting < 0) return waiting;
    if (waiting >= 3) {
      uint8_t reply[3];
      int n = lineRead(reply, 3);
      if (n >= 2 && reply[0] == CAN && reply[1] == CAN) return XFER_CANCEL_RECEIVED;
    }
    int n = fileReadAt(s.file, s.localPath, s.byteCount, s.sendFrame + 3, 1024);
    if (n < 0) return n;
    if (n == 0) return fileClose(s.file);
    int length = buildFrame(s, block++, s.sendFrame + 3, n, 1024, true, XMODEM_PAD);
    int w = sendLineBytes(s.sendFrame, length);
    if (w < 0) return w;
    s.byteCount += static_cast<uint32_t>(n);
    updateProgressPaced(1);
  }
}

static int endFileStreamed() {
  int w = sendLineByte(EOT);
  if (w < 0) return w;
  for (;;) {
    int r = awaitResponse();
    if (r == RESPONSE_ACK) continue;
    if (r == RESPONSE_START) return 0;
    if (r == RESPONSE_NAK) {
      sendCancel(3);
      return XFER_CRC_ERROR;
    }
    if (r == RESPONSE_CAN) return XFER_CANCEL_RECEIVED;
    return r;
  }
}

int ymodemGSend() {
  TransferState& s = transferState();
  int count = batchCount(s.batch);
  for (int i = 0; i < count; ++i) {
    int64_t size = startEntry(s, i);
    if (size < 0) return static_cast<int>(size);
    if (size == 0) continue;
    int r = awaitStart(s, START_STREAM);
    if (r < 0) return r;
    int w = sendLineBytes(s.sendFrame, headerFrame(s, baseName(s.localPath), s.fileSize));
    if (w < 0) return w;
    // The receiver answers the header with "G" when it has opened the file;
    // streaming before it would leave that "G" to be mistaken for the EOT's.
    r = awaitStart(s, -2);
    if (r < 0) return r;
    r = streamBlocks(s);
    if (r < 0) return r;
    r = endFileStreamed();
    if (r < 0) return r;
    s.lastResponseChar = START_STREAM;
  }
  if (s.lastResponseChar != START_STREAM) {
    int r = awaitStart(s, START_STREAM);
    if (r < 0) return r;
  }
  return sendEndOfBatch(s);
}
