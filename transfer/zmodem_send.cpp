// The ZMODEM batch sender: "rz", ZRQINIT, the receiver's capabilities, then
// per file ZFILE, data from the position the receiver asks for, ZEOF; ZFIN.
#include <cstdio>
#include <cstring>

#include "shell/pump.h"
#include "terminal/options.h"
#include "terminal/link.h"
#include "transfer/file_information.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_view.h"
#include "transfer/zmodem.h"

namespace {
bool endsSend(int r) { return r == LINK_LOST || r == XFER_USER_CANCEL || r == XFER_CANCEL_RECEIVED; }

// Counts a retry: XFER_MAX_ERRORS beyond the maximum, else 0 after showing text.
int retry(TransferState& s, const char* text) {
  if (++s.errorCount > s.settings.maxErrors) return XFER_MAX_ERRORS;
  showRetry(text);
  return 0;
}

const char* retryText(int r) {
  switch (r) {
    case ZNAK: return "NAK received";
    case XFER_BAD_CHAR: return "BAD CHAR";
    case XFER_CRC_ERROR: return "CRC Error";
    default: return "Timeout";
  }
}

// The receiver's ZRINIT: CRC, escaping and subpacket sizes.
void takeCapabilities(ZmodemState& z) {
  z.attention[0] = 0;
  uint8_t flags = z.rxArgs[3];
  z.useCrc32 = (flags & CANFC32) != 0;
  z.escapeAll = (flags & ESCCTL) != 0;
  int buffer = z.rxArgs[0] | (z.rxArgs[1] << 8);
  // A receiver that cannot take data while it writes (no full duplex or no
  // overlapped I/O) and announced no buffer still needs a pause per subpacket.
  bool overlaps = (flags & CANFDX) && (flags & CANOVIO);
  if (buffer == 0 && !overlaps) buffer = ZSEND_SUBPACKET_MAX;
  z.window = buffer;
  z.streamingEnd = z.frameEnd = buffer != 0 ? ZCRCW : ZCRCG;
  // The receiver may announce up to 64 KiB; our frames hold at most 1 KiB. A
  // larger buffer is a window of several subpackets, the last ending in ZCRCW.
  z.subpacketLength = buffer != 0 && buffer < ZSEND_SUBPACKET_MAX ? buffer : ZSEND_SUBPACKET_MAX;
}

// Announces escaping when we want it and the receiver did not ask.
int negotiateEscape(TransferState& s, ZmodemState& z) {
  if (!s.settings.zmodemEscapeControl || z.escapeAll) return 0;
  z.escapeAll = true;
  uint8_t args[4] = {0, 0, 0, TESCCTL};
  uint8_t attention = 0;
  z.state = ZSINIT;
  for (;;) {
    // Binary, so the subpacket's CRC matches the header's kind: after a hex
    // header a receiver checks CRC-16, and our data would carry CRC-32.
    int w = sendBinaryHeader(ZSINIT, args);
    if (w >= 0) w = sendSubpacket(&attention, 1, ZCRCW);
    if (w < 0) return w;
    int r = readHeader();
    // A repeated ZRINIT without the flag is stale: keep waiting for the ZACK.
    while (r == ZRINIT && !(z.rxArgs[3] & ESCCTL)) r = readHeader();
    if (r == ZACK || r == ZRINIT) return 0;
    if (r == ZCAN) return XFER_CANCEL_RECEIVED;
    if (endsSend(r)) return r;
    if (retry(s, "Bad response") < 0) return XFER_MAX_ERRORS;
  }
}

// Waits for the receiver's ZRINIT after ZRQINIT.
int awaitReceiver(TransferState& s, ZmodemState& z) {
  for (;;) {
    int r = readHeader();
    if (r == ZRINIT) return 0;
    if (endsSend(r)) return r;
    if (r == ZABORT || r == ZCAN) return XFER_CANCEL_RECEIVED;
    if (r == ZCHALLENGE) {
      sendHexHeader(ZACK, z.rxArgs);
      continue;
    }
    if (r == ZCOMMAND) {
      sendPositionHeader(ZRQINIT, 0, true);
      continue;
    }
    if (r == ZNAK || r < 0) {
      if (retry(s, retryText(r)) < 0) return XFER_MAX_ERRORS;
      sendPositionHeader(ZRQINIT, 0, true);
    }
  }
}

// The file is read this much at a time and cut into subpackets.
constexpr int READ_AHEAD = 64 * 1024;

// Bytes the receiver sent while we stream: a header (CAN or "*") stops the
// data with an empty ZCRCE. 1 when it did, 0 to go on, or a negative code.
int checkReceiver(ZmodemState& z) {
  // One read that does not wait, no count of waiting bytes first. Keep
  // what came in: the header reader takes it from the buffer.
  int got = lineRead(z.in, ZLINE_READ);
  if (got < 0) return LINK_LOST;
  if (got == 0) return 0;
  z.inCount = got;
  z.inPos = 0;
  for (int i = 0; i < got; ++i) {
    if (z.in[i] == ZPAD || z.in[i] == ZDLE) {
      int r = sendSubpacket(nullptr, 0, ZCRCE);
      return r < 0 ? r : 1;
    }
  }
  z.inCount = 0;
  return 0;
}

// The next write's size from how long this one took.
void fitSendQueue(ZmodemState& z, uint32_t took) {
  if (took <= ZSEND_QUICK_MS && z.sendQueue < ZSEND_QUEUE_MAX) z.sendQueue *= 2;
  else if (took > ZSEND_SLOW_MS && z.sendQueue > ZSEND_QUEUE_MIN) z.sendQueue /= 2;
}

// Sends data from position p: 1 when the end of the file went out, 0 when the
// receiver must answer first, or a negative code. The subpackets leave in
// writes of z.sendQueue bytes; nothing stays queued on return.
int sendData(TransferState& s, ZmodemState& z, uint32_t p) {
  int r = sendPositionHeader(ZDATA, p, false);
  if (r < 0) return r;
  z.state = ZDATA;
  static uint8_t chunk[READ_AHEAD];
  uint32_t chunkStart = p;
  int chunkLength = 0;
  bool chunkAtEnd = false;
  int windowUsed = 0;
  for (;;) {
    int offset = static_cast<int>(p - chunkStart);
    if (offset + z.subpacketLength > chunkLength && !chunkAtEnd) {
      int n = fileReadAt(s.file, s.localPath, p, chunk, READ_AHEAD);
      if (n < 0) {
        z.outCount = 0;
        return n;
      }
      chunkStart = p;
      chunkLength = n;
      chunkAtEnd = n < READ_AHEAD;
      offset = 0;
    }
    int n = chunkLength - offset < z.subpacketLength ? chunkLength - offset : z.subpacketLength;
    bool last = n < z.subpacketLength;
    uint8_t end = z.frameEnd;
    if (last) {
      end = ZCRCE;
      z.lastSubpacketLength = n;
    } else if (z.window > 0) {
      windowUsed += n;
      // The receiver's buffer is full when the next subpacket would not fit.
      end = windowUsed + z.subpacketLength > z.window ? ZCRCW : ZCRCG;
    }
    if ((r = queueSubpacket(chunk + offset, n, end)) < 0) return r;
    p += static_cast<uint32_t>(n);
    s.byteCount = p;
    if (end == ZCRCG && z.outCount < z.sendQueue) continue;
    // While streaming only whole blocks go out, the rest waits for the next
    // write (a channel that moves data in such blocks gets no short ones);
    // at the end of a frame everything does.
    uint32_t started = clockTicks();
    if ((r = end == ZCRCG ? zFlushBlocks(z.sendQueue) : zFlush()) < 0) return r;
    fitSendQueue(z, clockTicks() - started);
    updateProgressPaced(1);
    if (last) return 1;
    if (end == ZCRCW) return 0;
    // The dialog's turn (Cancel, repaints) without idling, then what the
    // receiver said; a header from it gets the rest of the queue and an
    // empty ZCRCE, an end drops the rest.
    r = s.cancelRequested || pumpTurn() < 0 ? XFER_USER_CANCEL : checkReceiver(z);
    if (r != 0) {
      z.outCount = 0;
      return r < 0 ? r : 0;
    }
  }
}

int sendFileHeader(TransferState& s, ZmodemState& z, const uint8_t* info, int length) {
  uint8_t none[4] = {0, 0, 0, 0};
  (void)s;
  z.state = ZFILE;
  int r = sendBinaryHeader(ZFILE, none);
  if (r >= 0) r = sendSubpacket(info, length, ZCRCW);
  return r;
}

// One batch entry: 0 when the receiver took or skipped it, or a negative code.
int sendOneFile(TransferState& s, ZmodemState& z, const char* path) {
  s.resumeOffset = 0;
  s.startTick = clockTicks();
  s.byteCount = 0;
  std::snprintf(s.localPath, sizeof s.localPath, "%s", path);
  int64_t size = fileSizeOf(path);
  if (size < 0) return XFER_FILE_OPEN;
  s.fileSize = static_cast<uint32_t>(size);
  showFileName(path);
  showFileSize(s.fileSize);
  if (size == 0) {
    viewText(FIELD_ERROR, "File is zero length");
    return 0;
  }
  uint8_t info[TRANSFER_PATH_MAX + 64];
  int length = zmodemFileInformation(path, baseName(path), s.fileSize, info, static_cast<int>(sizeof info) - 1);
  if (length < 0) return XFER_FILE_OPEN;
  info[length++] = 0;
  updateProgress(1);
  int r = sendFileHeader(s, z, info, length);
  if (r < 0) return r;
  uint32_t acknowledged = 0;
  bool eofSent = false;  // a ZRINIT after our first ZEOF ends the file
  for (;;) {
    r = readHeader();
    switch (r) {
      case ZRINIT:
        takeCapabilities(z);
        if ((r = negotiateEscape(s, z)) < 0) return r;
        // Only after our ZEOF does ZRINIT end the file. A receiver repeats its
        // ZRINIT, and a copy that arrives after our ZFILE or amid the data is
        // stale: resending ZFILE for it would start the file twice. A lost
        // ZFILE is resent by the time-out instead.
        if (z.state == ZEOF || eofSent) return 0;
        continue;
      case ZSKIP:
        return 0;
      case ZACK:
      case ZRPOS: {
        if (r == ZRPOS && z.state == ZFILE) s.resumeOffset = z.rxPosition;
        // Retries count in a row: a receiver asking for a later position has
        // taken everything before it.
        if (z.rxPosition > acknowledged) {
          acknowledged = z.rxPosition;
          s.errorCount = 0;
        }
        // A ZACK acknowledges a ZCRCW subpacket; one that arrives while ZFILE
        // waits for its ZRPOS is the echo of an earlier exchange.
        bool go = r == ZRPOS || z.state == ZDATA;
        if (go) {
          int d = sendData(s, z, z.rxPosition);
          if (d < 0) {
            zmodemCancelSequence(false);
            s.active = false;  // the cancel is out: closing the dialog adds none
            return d;
          }
          if (d == 1) {
            sendPositionHeader(ZEOF, s.fileSize, false);
            eofSent = true;
            viewText(FIELD_STATUS, "Sending EOF");
            z.state = ZEOF;
          }
        }
        continue;
      }
      case ZABORT:
      case ZFERR:
      case ZCAN:
        return XFER_CANCEL_RECEIVED;
      default:
        break;
    }
    if (endsSend(r)) return r;
    if (r == ZNAK || r == XFER_BAD_CHAR || r == XFER_CRC_ERROR || r == XFER_TIMEOUT) {
      if (retry(s, "Bad response") < 0) return XFER_MAX_ERRORS;
      if (z.state == ZEOF) {
        // The short last subpacket and ZEOF again.
        // From the file's end, not byteCount: a broken-off resend may have
        // moved that, and a ZEOF at the wrong place would cut the file.
        uint32_t from = s.fileSize - static_cast<uint32_t>(z.lastSubpacketLength);
        uint8_t block[ZSEND_SUBPACKET_MAX];
        int n = fileReadAt(s.file, s.localPath, from, block, z.lastSubpacketLength);
        if (n < 0) return n;
        sendPositionHeader(ZDATA, from, false);
        sendSubpacket(block, n, ZCRCE);
        sendPositionHeader(ZEOF, s.fileSize, false);
        s.byteCount = s.fileSize;
      } else if (z.state == ZFILE) {
        if ((r = sendFileHeader(s, z, info, length)) < 0) return r;
      } else if (z.state != ZDATA) {
        sendPositionHeader(z.state, 0, true);
      }
    }
  }
}
}  // namespace

int zmodemSend() {
  TransferState& s = transferState();
  ZmodemState& z = zmodemState();
  zmodemReset(z);
  z.owner = &s;
  zReadHeaders(z.reader, terminalOptions.telnet ? 10000 : 9600 + 1400);
  s.errorCount = 0;
  static const uint8_t rz[3] = {'r', 'z', '\r'};
  int r = sendLineBytes(rz, 3);
  if (r < 0) return r;
  z.state = ZRQINIT;
  if ((r = sendPositionHeader(ZRQINIT, 0, true)) < 0) return r;
  if ((r = awaitReceiver(s, z)) < 0) return r;
  takeCapabilities(z);
  if ((r = negotiateEscape(s, z)) < 0) return r;
  int count = batchCount(s.batch);
  for (int i = 0; i < count; ++i) {
    s.errorCount = 0;
    if ((r = sendOneFile(s, z, batchPath(s.batch, i))) < 0) return r;
  }
  viewText(FIELD_STATUS, "Sending FIN header");
  if ((r = sendPositionHeader(ZFIN, 0, true)) < 0) return r;
  for (;;) {
    r = readHeader();
    if (r == ZFIN) {
      static const uint8_t over[2] = {'O', 'O'};
      sendLineBytes(over, 2);
      return 0;
    }
    if (r == ZABORT || r == ZCAN) return XFER_CANCEL_RECEIVED;
    if (endsSend(r) || r == XFER_CRC_ERROR) return r;
    if (r == XFER_TIMEOUT) {
      // The receiver's ZFIN was lost: ask once more within the error budget.
      if (retry(s, "Timeout") < 0) return XFER_TIMEOUT;
      sendPositionHeader(ZFIN, 0, true);
    }
  }
}
