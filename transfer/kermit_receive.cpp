#include <cctype>
#include <cstdio>
#include <cstring>

#include "terminal/link.h"
#include "shell/pump.h"
#include "transfer/kermit.h"
#include "transfer/kermit_attributes.h"
#include "transfer/kermit_state.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_state.h"
#include "transfer/transfer_view.h"

namespace {

bool isJpegName(const char* path) {
  for (const char* p = path; *p; ++p)
    if (p[0] == '.' && std::toupper(uint8_t(p[1])) == 'J' && std::toupper(uint8_t(p[2])) == 'P' &&
        std::toupper(uint8_t(p[3])) == 'G')
      return true;
  return false;
}

// Acknowledges packet seq (with data for the send-init) and moves on.
// How soon after our answer a repeated packet counts as a crossing copy.
constexpr uint32_t KERMIT_ECHO_MS = 1000;

int acknowledge(KermitState& k, int seq, const uint8_t* data = nullptr, size_t n = 0,
                int checkType = 0) {
  k.seq = (seq + 1) & 63;
  transferState().errorCount = 0;
  return kermitSendPacket(k, 'Y', seq, data, n, checkType ? checkType : k.agreed.checkType);
}

// A failure that ends the receive: the sender learns it from an "E" packet
// instead of waiting out its retries.
int giveUp(KermitState& k, int code) {
  kermitSendError(transferErrorText(code));
  k.fileOpen = false;
  return code;
}

int takeSendInit(KermitState& k) {
  uint8_t reply[32];
  size_t n = kermitAnswerInit(k.options, k.reader.data, k.reader.dataLength, &k.agreed, reply);
  // Without eight-bit prefixing every bit of a byte travels: a 7-bit line goes to 8-N-1.
  if (!k.agreed.send.qbin) linkSetTransferFormat(true);
  int r = acknowledge(k, k.reader.seq, reply, n, 1);
  // The agreed check and lengths apply from the next packet on.
  k.reader.checkType = k.agreed.checkType;
  k.reader.maxLength = k.agreed.receiveMax;
  return r < 0 ? r : STEP_BLOCK;
}

int takeFileHeader(KermitState& k) {
  TransferState& s = transferState();
  const std::vector<uint8_t>& raw = kermitDecodedData(k);
  // A name too long for a path, or with a NUL in it, is refused, not cut.
  char name[TRANSFER_PATH_MAX];
  size_t n = raw.size();
  if (n >= sizeof name) return giveUp(k, XFER_FILE_OPEN);
  if (n) std::memcpy(name, raw.data(), n);
  name[n] = 0;
  char path[TRANSFER_PATH_MAX];
  if (std::strlen(name) != n || receivedFilePath(s.settings.downloadDir, name, path, sizeof path) < 0)
    return giveUp(k, XFER_FILE_OPEN);
  fileClose(s.file);
  if (s.settings.keepBackup && backupExisting(path) < 0) return giveUp(k, XFER_FILE_OPEN);
  if (fileCreate(path) < 0) return giveUp(k, XFER_FILE_OPEN);
  std::memcpy(s.localPath, path, sizeof path);
  k.fileOpen = true;
  s.byteCount = 0;
  s.fileSize = 0;
  s.firstBlockSeen = false;
  showFileName(path);
  s.realTimeJpeg = s.settings.viewJpegRealtime && isJpegName(path);
  if (s.realTimeJpeg) transferView.jpegStart(path);
  int r = acknowledge(k, k.reader.seq);
  if (r < 0) return r;
  updateProgress(0);
  return STEP_BLOCK;
}

int takeAttributes(KermitState& k) {
  TransferState& s = transferState();
  KermitFileSize size = kermitReadAttributes(k.reader.data, k.reader.dataLength);
  if (size.known) {
    s.fileSize = size.bytes;
    char text[32];
    std::snprintf(text, sizeof text, size.approximate ? "%lu appx." : "%lu",
                  static_cast<unsigned long>(size.bytes));
    viewText(FIELD_FILESIZE, text);
  }
  int r = acknowledge(k, k.reader.seq);
  return r < 0 ? r : STEP_BLOCK;
}

// Every packet's data goes to the file at once, so a transfer that breaks
// off leaves all that was acknowledged on disk.
int takeData(KermitState& k) {
  TransferState& s = transferState();
  if (!k.fileOpen) return giveUp(k, XFER_PROTOCOL_ERROR);
  if (!s.firstBlockSeen && s.fileSize == 0) showFileSize(0);
  s.firstBlockSeen = true;
  // The sender prepares its next packet while this one is decoded and
  // written; a write that then fails still ends the transfer with an "E" packet.
  int r = acknowledge(k, k.reader.seq);
  if (r < 0) return r;
  const std::vector<uint8_t>& bytes = kermitDecodedData(k);
  if (!bytes.empty()) {
    int w = fileAppend(s.file, s.localPath, bytes.data(), int(bytes.size()));
    if (w < 0) return giveUp(k, w);
    uint32_t before = s.byteCount;
    s.byteCount += uint32_t(bytes.size());
    if (s.realTimeJpeg && s.byteCount / 1024 != before / 1024)
      transferView.jpegData(s.byteCount);
  }
  updateProgressPaced(0);
  return STEP_BLOCK;
}

int takePacket(KermitState& k) {
  TransferState& s = transferState();
  int seq = k.reader.seq;
  if (seq != k.seq) {
    // Our acknowledgement was lost and the sender repeats its packet: repeat
    // the answer (for a send-init it carries our parameters) and count it.
    if (seq == ((k.seq + 63) & 63) && k.lastLength) {
      // A send-init right behind our answer crossed our opening NAK on the
      // line: answering it again makes a sender that takes every answer as
      // its cue send each following packet twice. Later repeats are answered
      // at once: a sender that got a damaged answer repeats without waiting,
      // and leaving it to its time-out cost both sides their error budget.
      if (k.reader.type == 'S' && clockTicks() - k.sentTick < KERMIT_ECHO_MS) return STEP_NOTHING;
      if (++s.errorCount > s.settings.maxErrors) return giveUp(k, XFER_MAX_ERRORS);
      int r = kermitResend(k);
      return r < 0 ? r : STEP_NOTHING;
    }
    viewText(FIELD_STATUS, "Bad sequence number");
    return XFER_BAD_SEQUENCE;
  }
  switch (k.reader.type) {
    case 'S':
      return takeSendInit(k);
    case 'F':
      return takeFileHeader(k);
    case 'A':
      return takeAttributes(k);
    case 'D':
      return takeData(k);
    case 'Z': {
      updateProgress(0);
      k.fileOpen = false;
      int closed = fileClose(s.file);
      if (closed < 0) return giveUp(k, closed);
      int r = acknowledge(k, seq);
      return r < 0 ? r : STEP_NEXT_FILE;
    }
    case 'B': {
      int r = acknowledge(k, seq);
      return r < 0 ? r : STEP_COMPLETE;
    }
    case 'E':
      k.fileOpen = false;
      return XFER_CANCEL_RECEIVED;
    default:
      // Includes "N": a NAK arriving here does not mean the files are complete.
      return XFER_BAD_PACKET;
  }
}

}  // namespace

int kermitReceiveBegin() {
  KermitState& k = kermitState();
  kermitReset(k);
  return kermitSendPacket(k, 'N', 0, nullptr, 0, 1);
}

int kermitReceiveStep() {
  KermitState& k = kermitState();
  // Stop-and-wait leaves at most a repeat or noise behind a packet; handle
  // every complete packet that is already here rather than leave it unread.
  int result = STEP_NOTHING;
  for (;;) {
    int r = kermitReadPacket(k);
    if (r == 0) return result;
    if (r < 0) return r;
    r = takePacket(k);
    if (r != STEP_NOTHING && r != STEP_BLOCK) return r;
    if (r == STEP_BLOCK) result = STEP_BLOCK;
  }
}

void kermitReceiveRetry() {
  KermitState& k = kermitState();
  kermitDropInput(k);
  kermitSendPacket(k, 'N', k.seq, nullptr, 0, k.agreed.checkType);
}

void kermitReceiveTimeout() {
  KermitState& k = kermitState();
  linePurgeOutput();
  kermitResend(k);
}

void kermitSendError(const char* text) {
  KermitState& k = kermitState();
  TransferState& s = transferState();
  uint8_t data[96];
  size_t length = 0;
  kermitEncode(k.agreed.send, reinterpret_cast<const uint8_t*>(text), std::strlen(text), data,
               sizeof data, &length);
  // The error must leave even after the user cancelled.
  bool cancelled = s.cancelRequested;
  s.cancelRequested = false;
  kermitSendPacket(k, 'E', k.seq, data, length, k.agreed.checkType);
  s.cancelRequested = cancelled;
}
