#include "transfer/ascii_transfer.h"

#include "shell/pump.h"
#include "terminal/link.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_state.h"
#include "transfer/transfer_view.h"

namespace {
// The capture buffer keeps its own file offset: the receive loop clears
// byteCount and pendingCount when it aborts, and the bytes must still reach
// the file when the dialog closes.
struct AsciiReceive {
  int end;
  int pending;
  uint32_t offset;
  uint8_t buffer[ASCII_BLOCK];
};
AsciiReceive rx;

// The session's own XON/XOFF setting (flow control 2 or 3), back after the transfer.
void restoreFlow(const TransferState& s) {
  bool on = s.settings.flowControl >= 2;
  linkSetSoftwareFlow(on, on);
}

int writePending(TransferState& s) {
  if (rx.pending == 0) return 0;
  int r = fileWriteAt(s.file, s.localPath, rx.offset, rx.buffer, rx.pending);
  if (r < 0) return r;
  rx.offset += static_cast<uint32_t>(rx.pending);
  rx.pending = 0;
  s.byteCount = rx.offset;
  s.pendingCount = 0;
  updateProgress(0);
  return 0;
}

// Nothing received during a send is shown or kept.
int discardInput() {
  uint8_t sink[256];
  for (;;) {
    int waiting = lineWaiting();
    if (waiting <= 0) return waiting;
    int n = lineRead(sink, sizeof sink);
    if (n <= 0) return n;
  }
}

// Waits ms on the clock while the program stays responsive.
int pause(TransferState& s, int ms) {
  uint32_t start = clockTicks();
  while (clockTicks() - start < static_cast<uint32_t>(ms)) {
    if (s.cancelRequested) return XFER_USER_CANCEL;
    if (pumpOne() < 0) return XFER_USER_CANCEL;
  }
  return s.cancelRequested ? XFER_USER_CANCEL : 0;
}

int sendByte(uint8_t b) {
  int r = sendLineByte(b);
  return r < 0 ? r : 0;
}

// One block of the file. previous is the last byte of the block before, so
// a CR LF split by the block boundary is still one line end.
int sendBlock(TransferState& s, const uint8_t* block, int n, int previous) {
  for (int i = 0; i < n; ++i) {
    uint8_t b = block[i];
    int r = 0;
    if (s.settings.charDelayMs > 0 && (r = pause(s, s.settings.charDelayMs)) < 0) return r;
    if (b == '\n') {
      int before = i > 0 ? block[i - 1] : previous;
      if (before != '\r' && (r = sendByte('\r')) < 0) return r;
      if (s.settings.lineDelayMs > 0 && (r = pause(s, s.settings.lineDelayMs)) < 0) return r;
    }
    if (!(b == '\n' && s.settings.stripLinefeed) && (r = sendByte(b)) < 0) return r;
    if ((r = discardInput()) < 0) return r;
  }
  return 0;
}
}  // namespace

AsciiChars asciiChars(const TransferSettings& settings) {
  AsciiChars c{};
  int initiate = caretByte(settings.initiateChar);
  c.initiate = static_cast<uint8_t>(initiate < 0 ? 0 : initiate);
  // A plain character in the end field does not count: only "^c" sets it.
  c.end = settings.endChar[0] == '^' && settings.endChar[1] ? caretByte(settings.endChar) : -1;
  return c;
}

int asciiReceiveBegin() {
  TransferState& s = transferState();
  AsciiChars c = asciiChars(s.settings);
  rx.end = c.end;
  rx.pending = 0;
  rx.offset = s.byteCount;
  int r = sendLineByte(c.initiate);
  return r < 0 ? r : 0;
}

int asciiReceiveStep() {
  TransferState& s = transferState();
  int n = lineRead(rx.buffer + rx.pending, ASCII_BLOCK - rx.pending);
  if (n < 0) return n;
  bool ended = false;
  if (rx.end >= 0)
    for (int i = rx.pending; i < rx.pending + n && !ended; ++i) ended = rx.buffer[i] == rx.end;
  rx.pending += n;
  s.pendingCount = rx.pending;
  // The end byte and whatever came with it in the same read go to the file too.
  if (ended || rx.pending == ASCII_BLOCK) {
    int r = writePending(s);
    if (r < 0) return r;
  }
  if (!ended) return STEP_NOTHING;
  restoreFlow(s);
  return STEP_COMPLETE;
}

// Runs after the receive loop has closed the file: it closes it again.
int asciiReceiveFlush() {
  TransferState& s = transferState();
  int r = writePending(s);
  int closed = fileClose(s.file);
  return r < 0 ? r : closed;
}

int asciiSend() {
  TransferState& s = transferState();
  linkSetSoftwareFlow(true, true);
  AsciiChars c = asciiChars(s.settings);
  int r = sendByte(c.initiate);
  uint8_t block[ASCII_BLOCK];
  int previous = -1;
  while (r >= 0) {
    if (pumpOne() < 0 || s.cancelRequested) {
      r = XFER_USER_CANCEL;
      break;
    }
    int n = fileReadAt(s.file, s.localPath, s.byteCount, block, ASCII_BLOCK);
    if (n <= 0) {
      r = n;
      break;
    }
    s.byteCount += static_cast<uint32_t>(n);
    updateProgress(1);
    r = sendBlock(s, block, n, previous);
    previous = block[n - 1];
    if (r >= 0) r = discardInput();
  }
  if (r >= 0) r = discardInput();
  if (r >= 0) r = sendByte(c.end >= 0 ? static_cast<uint8_t>(c.end) : ETX);
  restoreFlow(s);
  return r;
}
