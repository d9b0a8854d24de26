#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/pump.h"
#include "terminal/link.h"
#include "transfer/kermit.h"
#include "transfer/kermit_attributes.h"
#include "transfer/kermit_state.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_state.h"
#include "transfer/transfer_view.h"

namespace {

// File reads are larger than a packet so that one open and close serves
// several packets of the longest kind.
constexpr int READ_BLOCK = 16384;

// Waits for the next packet until the agreed time-out: 1 when one is in the
// reader, -1 time-out, -2/-3 broken packet, -11 cancelled, -16 line gone.
int awaitPacket(KermitState& k) {
  TransferState& s = transferState();
  if (linePacedTurn() < 0) return XFER_USER_CANCEL;
  s.responseTimedOut = false;
  timerStart(TIMER_RESPONSE, uint32_t(k.agreed.timeoutSeconds) * 1000, &s.responseTimedOut);
  int result;
  for (;;) {
    if (s.cancelRequested) {
      result = XFER_USER_CANCEL;
      break;
    }
    result = kermitReadPacket(k);
    if (result != 0) break;
    if (s.responseTimedOut) {
      result = XFER_TIMEOUT;
      break;
    }
    if (lineIdle() < 0) {
      result = XFER_USER_CANCEL;
      break;
    }
  }
  timerKill(TIMER_RESPONSE);
  return result;
}

// Counts one retry of the current packet: the code when there were too many,
// else 0 after the packet went out again.
int retry(KermitState& k, int code, const char* text) {
  TransferState& s = transferState();
  if (++s.errorCount > s.settings.maxErrors) return code;
  showRetry(text);
  int r = kermitResend(k);
  return r < 0 ? r : 0;
}

// Sends one packet; its acknowledgement is then taken with awaitAck.
int post(KermitState& k, char type, const uint8_t* data, size_t n) {
  int check = k.initPending ? 1 : k.agreed.checkType;
  int r = kermitSendPacket(k, type, k.seq, data, n, check);
  if (r < 0) return r;
  transferState().errorCount = 0;
  return 0;
}

// Waits for the acknowledgement of the packet just posted (of the given
// type), resending it as the retry rules say: 1 when it came (the sequence
// has moved on), or a negative code.
int awaitAck(KermitState& k, char type) {
  int next = (k.seq + 1) & 63;
  int previous = (k.seq + 63) & 63;
  for (;;) {
    int r = awaitPacket(k);
    if (r == 1) {
      char t = k.reader.type;
      int seq = k.reader.seq;
      // A NAK for the next packet means the receiver has this one.
      if ((t == 'Y' && seq == k.seq) || (t == 'N' && seq == next)) {
        if (t == 'Y' && k.reader.dataLength > 0 && type == 'D' &&
            (k.reader.data[0] == 'X' || k.reader.data[0] == 'Z'))
          return XFER_CANCEL_RECEIVED;
        k.seq = next;
        return 1;
      }
      // The receiver's error packet ends the send as "cancel received", not
      // as "timeout": nothing timed out.
      if (t == 'E') return XFER_CANCEL_RECEIVED;
      // A late repeat of the previous acknowledgement: the current packet is
      // still on its way, so wait on.
      if (t == 'Y' && seq == previous) continue;
      viewText(FIELD_ERROR, "NAK/BAD packet received");
      r = retry(k, XFER_MAX_ERRORS, "NAK/BAD packet");
    } else if (r == XFER_BAD_PACKET) {
      viewText(FIELD_ERROR, "NAK/BAD packet received");
      r = retry(k, XFER_MAX_ERRORS, "NAK/BAD packet");
    } else if (r == XFER_CRC_ERROR) {
      r = retry(k, XFER_CRC_ERROR, "crc error");
    } else if (r == XFER_TIMEOUT) {
      kermitDropInput(k);
      r = retry(k, XFER_TIMEOUT, "timeout");
    }
    if (r < 0) return r;
  }
}

// Sends one packet and waits for its acknowledgement (see awaitAck).
int exchange(KermitState& k, char type, const uint8_t* data, size_t n) {
  int r = post(k, type, data, n);
  return r < 0 ? r : awaitAck(k, type);
}

int sendInit(KermitState& k) {
  viewText(FIELD_STATUS, "Sending init");
  uint8_t fields[32];
  size_t n = kermitOfferInit(k.options, fields);
  int r = exchange(k, 'S', fields, n);
  if (r < 0) return r;
  kermitTakeInitAck(k.options, k.reader.data, k.reader.dataLength, &k.agreed);
  // Without eight-bit prefixing every bit of a byte travels: a 7-bit line goes to 8-N-1.
  if (!k.agreed.send.qbin) linkSetTransferFormat(true);
  k.initPending = false;
  k.reader.checkType = k.agreed.checkType;
  k.reader.maxLength = k.agreed.receiveMax;
  return 0;
}

// The longest data field a packet to the other side may carry. A long packet
// stays within the maximum from its MARK on: gkermit, offering 9000, keeps
// exactly 9000 bytes of a packet.
size_t dataLimit(const KermitState& k) {
  int overhead = k.agreed.remoteMax > KERMIT_SHORT_MAX ? 7 : 2;
  return size_t(std::max(10, k.agreed.remoteMax - overhead - k.agreed.checkType));
}

int sendHeader(KermitState& k, const char* path, uint32_t size) {
  viewText(FIELD_STATUS, "Sending file header");
  char name[TRANSFER_PATH_MAX];
  std::snprintf(name, sizeof name, "%s", baseName(path));
  for (char* p = name; *p; ++p) *p = char(std::toupper(uint8_t(*p)));
  uint8_t data[2 * TRANSFER_PATH_MAX];
  size_t length = 0;
  kermitEncode(k.agreed.send, reinterpret_cast<const uint8_t*>(name), std::strlen(name), data,
               std::min(sizeof data, dataLimit(k)), &length);
  int r = exchange(k, 'F', data, length);
  if (r < 0 || !k.agreed.attributes) return r;
  length = kermitWriteAttributes(size, data);
  return exchange(k, 'A', data, length);
}

int readFailed(int code) {
  messageBox(code == XFER_FILE_OPEN ? TXT_FILE_OPEN_ERROR : TXT_FILE_READ_FAILED, nullptr,
             MSG_OK | MSG_ICONEXCLAMATION);
  return code;
}

// The file read ahead of the packets and the data field being filled.
struct DataSource {
  const char* path = nullptr;
  uint32_t offset = 0;  // next file byte to read
  uint8_t block[READ_BLOCK];
  size_t have = 0;
  size_t at = 0;
  bool atEnd = false;
};

struct DataPacket {
  uint8_t data[KERMIT_MAX_LENGTH];
  size_t length = 0;
  uint32_t carried = 0;  // file bytes it stands for
};

// Fills a data field up to limit (left empty at the end of the file): 0, or a
// negative code when the file could not be read.
int fillPacket(const KermitState& k, DataSource& src, DataPacket& out, size_t limit) {
  out.length = 0;
  out.carried = 0;
  while (out.length < limit && !src.atEnd) {
    if (src.at == src.have) {
      int got = fileReadAt(transferState().file, src.path, src.offset, src.block, READ_BLOCK);
      if (got < 0) return readFailed(got);
      if (got == 0) {
        fileClose(transferState().file);
        src.atEnd = true;
        break;
      }
      src.offset += uint32_t(got);
      src.have = size_t(got);
      src.at = 0;
    }
    size_t written = 0;
    size_t used = kermitEncode(k.agreed.send, src.block + src.at, src.have - src.at,
                               out.data + out.length, limit - out.length, &written);
    if (used == 0) break;
    src.at += used;
    out.length += written;
    out.carried += uint32_t(used);
  }
  return 0;
}

int sendData(KermitState& k, const char* path) {
  TransferState& s = transferState();
  // Fixed buffers of the longest packet: no allocation that could fail.
  static DataSource src;
  static DataPacket packets[2];
  src.path = path;
  src.offset = 0;
  src.have = src.at = 0;
  src.atEnd = false;
  size_t limit = std::min(dataLimit(k), sizeof packets[0].data);
  int current = 0;
  int r = fillPacket(k, src, packets[current], limit);
  while (r >= 0 && packets[current].length > 0) {
    r = post(k, 'D', packets[current].data, packets[current].length);
    if (r < 0) return r;
    // The next packet is made while this one travels and is checked; a
    // repeat goes out from the copy the line keeps.
    DataPacket& next = packets[1 - current];
    r = fillPacket(k, src, next, limit);
    if (r < 0) return r;
    r = awaitAck(k, 'D');
    if (r < 0) return r;
    s.byteCount += packets[current].carried;
    updateProgressPaced(1);
    current = 1 - current;
  }
  return r < 0 ? r : 0;
}

int sendFile(KermitState& k, const char* path) {
  TransferState& s = transferState();
  std::snprintf(s.localPath, sizeof s.localPath, "%s", path);
  s.startTick = clockTicks();
  s.byteCount = 0;
  showFileName(path);
  int64_t size = fileSizeOf(path);
  if (size < 0) return readFailed(XFER_FILE_OPEN);
  s.fileSize = size > 0xFFFFFFFF ? 0xFFFFFFFFu : uint32_t(size);
  showFileSize(s.fileSize);
  if (size == 0) {
    viewText(FIELD_ERROR, "File is zero length");
    return 0;
  }
  updateProgress(1);
  int r = 0;
  if (k.initPending) r = sendInit(k);
  if (r >= 0) r = sendHeader(k, path, s.fileSize);
  if (r >= 0) r = sendData(k, path);
  if (r < 0) return r;
  viewText(FIELD_STATUS, "Sending end of file");
  r = exchange(k, 'Z', nullptr, 0);
  return r < 0 ? r : 0;
}

}  // namespace

int kermitSendBatch() {
  TransferState& s = transferState();
  KermitState& k = kermitState();
  kermitReset(k);
  k.initPending = true;
  int r = 0;
  for (int i = 0; i < batchCount(s.batch) && r >= 0; i++) r = sendFile(k, batchPath(s.batch, i));
  // A batch of empty files still opens the exchange before it ends it.
  if (r >= 0 && k.initPending) r = sendInit(k);
  if (r >= 0) {
    viewText(FIELD_STATUS, "Sending end of transfer");
    r = exchange(k, 'B', nullptr, 0);
    // Every file was acknowledged to its end; a receiver that took "B" and
    // left while its answer was lost has all of them.
    if (r == XFER_TIMEOUT || r == XFER_MAX_ERRORS || r == XFER_CRC_ERROR) r = 0;
  }
  if (r >= 0) return 0;
  // The receiver hears why the send stopped, unless it said so itself or the
  // line is gone. An error packet, not an empty "Z": that would tell it the
  // file ended whole and leave it a cut file as complete.
  if (r != XFER_CANCEL_RECEIVED && r != LINK_LOST) kermitSendError(transferErrorText(r));
  return r;
}
