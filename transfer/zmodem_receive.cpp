// The ZMODEM receiver, driven by the receive loop: every pass feeds the bytes
// that wait through the reader and answers each header and subpacket.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>

#include "shell/pump.h"
#include "terminal/options.h"
#include "transfer/protocol_table.h"
#include "terminal/link.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_view.h"
#include "transfer/zmodem.h"

namespace {
// A pass returns after this many bytes so the program stays responsive.
constexpr int PASS_BYTES = 64 * 1024;
// Result of one handled event: keep going, or end the receive with a code.
constexpr int GO_ON = 1;

int garbageLimit() { return terminalOptions.telnet ? 10000 : 9600 + 1400; }

// Counts an error: true when the maximum is passed.
bool tooMany(TransferState& s) { return ++s.errorCount > s.settings.maxErrors; }

void setState(ZmodemState& z, int state) { z.state = state; }

// Writes the data held back: 0, or the file's error code.
int writeHeldData(TransferState& s, ZmodemState& z) {
  if (z.toWriteCount == 0) return 0;
  int n = z.toWriteCount;
  z.toWriteCount = 0;
  return fileWriteAt(s.file, s.localPath, z.writeOffset, z.toWrite, n);
}

// Data of a good subpacket at byteCount: held back and written in larger
// pieces, at the latest when the pass or the subpackets in a row end.
int holdData(TransferState& s, ZmodemState& z, const uint8_t* data, int length) {
  bool follows = z.toWriteCount > 0 && z.writeOffset + static_cast<uint32_t>(z.toWriteCount) == s.byteCount;
  if (z.toWriteCount > 0 && (!follows || z.toWriteCount + length > ZWRITE_BEHIND)) {
    int w = writeHeldData(s, z);
    if (w < 0) return w;
  }
  if (length > ZWRITE_BEHIND) return fileWriteAt(s.file, s.localPath, s.byteCount, data, length);
  if (z.toWriteCount == 0) z.writeOffset = s.byteCount;
  std::memcpy(z.toWrite + z.toWriteCount, data, static_cast<size_t>(length));
  z.toWriteCount += length;
  return 0;
}

void sendRinit(TransferState& s, ZmodemState& z) {
  uint8_t args[4] = {0, 0, 0, CANFDX | CANOVIO | CANBRK | CANFC32};
  if (s.settings.zmodemSegmented) args[1] = 0x04;  // a 1024-byte buffer
  if (s.settings.zmodemEscapeControl) z.escapeAll = true;
  if (z.escapeAll) args[3] |= ESCCTL;
  setState(z, ZRINIT);
  sendHexHeader(ZRINIT, args);
}

void sendNewOffset(TransferState& s, ZmodemState& z) {
  showRetry("crc error");
  if (!s.settings.zmodemSegmented) sendAttention();
  viewText(FIELD_STATUS, "Sending new offset");
  setState(z, ZRPOS);
  z.rewindTick = clockTicks();
  sendPositionHeader(ZRPOS, s.byteCount, true);
}

void resendState(TransferState& s, ZmodemState& z) {
  switch (z.state) {
    case ZRPOS:
      sendNewOffset(s, z);
      break;
    case ZRINIT:
      sendRinit(s, z);
      break;
    case ZACK:
      sendPositionHeader(ZACK, s.byteCount, true);
      break;
    default:
      sendPositionHeader(z.state, 0, true);
      break;
  }
}

// Drops what the read buffer still holds: after a bad subpacket the sender
// starts over from our ZRPOS, the rest of its stream is useless.
void dropInput(ZmodemState& z) {
  linePurgeOutput();
  z.inPos = z.inCount;
  z.phase = ZP_HEADER;
  zReadHeaders(z.reader, 0);
}

// Opens the file ZFILE announced; GO_ON or a negative code.
int openReceivedFile(TransferState& s, ZmodemState& z) {
  char name[TRANSFER_PATH_MAX], path[TRANSFER_PATH_MAX];
  uint32_t size = 0;
  if (zmodemParseFileInfo(z.reader.data, z.reader.dataLength, name, sizeof name, &size) < 0 ||
      receivedFilePath(s.settings.downloadDir, name, path, sizeof path) < 0) {
    // A name we will not write: skip this file, the batch goes on.
    viewText(FIELD_ERROR, "Skiping file");
    s.byteCount = 0;
    setState(z, ZSKIP);
    sendPositionHeader(ZSKIP, 0, true);
    return GO_ON;
  }
  // The same header again while its file is open: the sender missed our
  // ZRPOS (or took a second ZRINIT for a new start). Opening the file again
  // would cut it back; tell the sender where we are instead.
  if (z.inFile && std::strcmp(path, s.localPath) == 0) {
    setState(z, ZRPOS);
    sendPositionHeader(ZRPOS, s.byteCount, true);
    return GO_ON;
  }
  std::memcpy(s.localPath, path, sizeof s.localPath);
  fileClose(s.file);
  s.resumeOffset = 0;
  s.fileSize = size;
  int64_t localSize = fileSizeOf(s.localPath);
  if (s.settings.viewJpegRealtime) {
    char upper[TRANSFER_PATH_MAX];
    int i = 0;
    for (; name[i] && i < TRANSFER_PATH_MAX - 1; ++i) upper[i] = static_cast<char>(std::toupper(name[i]));
    upper[i] = 0;
    if (std::strstr(upper, ".JPG")) {
      s.realTimeJpeg = true;
      transferView.jpegStart(s.localPath);
    }
  }
  showFileSize(size);
  if (localSize >= 0) {
    if (s.settings.zmodemSkipExisting && static_cast<uint64_t>(localSize) == size) {
      sendPositionHeader(ZSKIP, 0, true);
      viewText(FIELD_STATUS, "Skiping file");
      viewText(FIELD_ERROR, "Skiping file");
      s.byteCount = 0;
      setState(z, ZSKIP);
      return GO_ON;
    }
    if (s.settings.zmodemCrashRecover && size > 0 && static_cast<uint64_t>(localSize) < size) {
      viewText(FIELD_STATUS, "Crash Recovery");
      showFileName(s.localPath);
      s.startTick = clockTicks();
      s.byteCount = s.resumeOffset = static_cast<uint32_t>(localSize);
      z.inFile = true;
      setState(z, ZRPOS);
      sendPositionHeader(ZRPOS, s.byteCount, true);
      return GO_ON;
    }
    if (s.settings.keepBackup && backupExisting(s.localPath) < 0) {
      viewText(FIELD_ERROR, "Failed to open file");
      return XFER_FILE_OPEN;
    }
  }
  if (fileCreate(s.localPath) < 0) {
    viewText(FIELD_ERROR, "Failed to open file");
    return XFER_FILE_OPEN;
  }
  sendPositionHeader(ZRPOS, 0, true);
  setState(z, ZRPOS);
  z.inFile = true;
  showFileName(s.localPath);
  s.byteCount = 0;
  updateProgress(0);
  return GO_ON;
}

// The sender closes with "OO" after our ZFIN: take it here, or a terminal
// shows it. The end of the sender's ZFIN header (CR LF) comes first.
void takeOverAndOut() {
  for (int skipped = 0; skipped < 3; ++skipped) {
    int b = readLineByteOf(1);
    if (b == 'O') {
      readLineByteOf(1);
      return;
    }
    if (b != '\r' && b != '\n' && b != 0x8A && b != 0x8D) return;
  }
}

int onHeader(TransferState& s, ZmodemState& z, int type) {
  // Every header may move the position or end the file: the file first.
  int w = writeHeldData(s, z);
  if (w < 0) return w;
  switch (type) {
    case ZRQINIT:
      sendRinit(s, z);
      return GO_ON;
    case ZRINIT:
      if (tooMany(s)) return XFER_NO_SENDER;
      showRetry("Sender is not there");
      resendState(s, z);
      return GO_ON;
    case ZSINIT:
      z.escapeAll = (z.rxArgs[3] & TESCCTL) != 0;
      z.phase = ZP_SINIT_DATA;
      zReadData(z.reader, ZATTENTION_MAX);
      return GO_ON;
    case ZFILE:
      s.errorCount = 0;
      z.phase = ZP_FILE_DATA;
      zReadData(z.reader, ZFILE_INFO_MAX);
      return GO_ON;
    case ZNAK:
      if (tooMany(s)) {
        viewText(FIELD_ERROR, "Too many NAK Errors");
        return XFER_MAX_ERRORS;
      }
      showRetry("NAK Received");
      if (z.state != ZRPOS) {
        resendState(s, z);
      } else {
        if (tooMany(s)) return XFER_MAX_ERRORS;
        sendNewOffset(s, z);
      }
      return GO_ON;
    case ZABORT:
    case ZCAN:
      return XFER_CANCEL_RECEIVED;
    case ZFIN:
      s.errorCount = 0;
      sendPositionHeader(ZFIN, 0, true);
      takeOverAndOut();
      viewText(FIELD_STATUS, "FIN Header received");
      return STEP_COMPLETE;
    case ZDATA:
      // Between files (after ZEOF, or before any ZFILE) data is a late copy
      // from the file before: taking it would cut that file back.
      if (z.state == ZRINIT) return GO_ON;
      if (z.rxPosition > s.byteCount || z.state == ZSKIP) {
        if (tooMany(s)) return XFER_MAX_ERRORS;
        if (z.state != ZSKIP) sendNewOffset(s, z);
        return GO_ON;
      }
      z.rewound = z.rxPosition < s.byteCount;
      s.byteCount = z.rxPosition;
      z.phase = ZP_DATA;
      zReadData(z.reader, ZDATA_MAX);
      return GO_ON;
    case ZEOF:
      if (z.rxPosition == s.byteCount || z.state == ZSKIP) {
        s.errorCount = 0;
        z.inFile = false;
        if ((w = fileClose(s.file)) < 0) return w;
        if (s.realTimeJpeg) transferView.jpegFinish();
        s.realTimeJpeg = false;
        viewText(FIELD_STATUS, "EOF Received");
        s.startTick = clockTicks();
        sendRinit(s, z);
        return GO_ON;
      }
      if (tooMany(s)) return XFER_MAX_ERRORS;
      viewText(FIELD_STATUS, "BAD EOF");
      return GO_ON;
    case ZCOMPL:
      return GO_ON;
    case ZFREECNT:
      sendPositionHeader(ZACK, 0, true);
      return GO_ON;
    case ZCOMMAND:
      // Commands from the remote side are answered, never run.
      s.errorCount = 0;
      setState(z, ZCOMPL);
      sendPositionHeader(ZCOMPL, 0, true);
      return GO_ON;
    default:
      break;
  }
  if (type == LINK_LOST || type == XFER_USER_CANCEL || type == XFER_CANCEL_RECEIVED) return type;
  // After our ZRPOS the rest of the stream in flight is skipped as garbage
  // until the sender's restart: over a deep channel (socket buffers hold
  // megabytes) that is many garbage limits but one error. Within the read
  // time-out it costs nothing; after it, an error and the ZRPOS again.
  bool skippingStream = z.state == ZRPOS && (type == XFER_BAD_CHAR || type == XFER_CRC_ERROR);
  if (skippingStream && clockTicks() - z.rewindTick < ZMODEM_READ_MS) return GO_ON;
  if (tooMany(s)) return XFER_MAX_ERRORS;
  showRetry(type < 0 ? transferErrorText(type) : "Bad header");
  resendState(s, z);
  return GO_ON;
}

int onSubpacket(TransferState& s, ZmodemState& z, int v) {
  ZReceivePhase phase = z.phase;
  if (v < 0) {
    z.phase = ZP_HEADER;
    if (v == XFER_CANCEL_RECEIVED) {
      viewText(FIELD_ERROR, "Can received");
      return v;
    }
    if (tooMany(s)) return XFER_MAX_ERRORS;
    if (phase == ZP_DATA) {
      dropInput(z);
      sendNewOffset(s, z);
    } else {
      showRetry("crc error");
      setState(z, ZNAK);
      sendPositionHeader(ZNAK, 0, true);
    }
    return GO_ON;
  }
  uint8_t end = static_cast<uint8_t>(v - ZR_END);
  ZReader& r = z.reader;
  if (phase == ZP_SINIT_DATA || phase == ZP_FILE_DATA) {
    z.phase = ZP_HEADER;
    zReadHeaders(r, 0);
    // A file header must hold the NUL after the name: without it the block
    // is as unusable as one with a bad CRC.
    bool unusable = phase == ZP_FILE_DATA && !std::memchr(r.data, 0, static_cast<size_t>(r.dataLength));
    if (end != ZCRCW || unusable) {
      if (tooMany(s)) return XFER_MAX_ERRORS;
      showRetry("crc error");
      setState(z, ZNAK);
      sendPositionHeader(ZNAK, 0, true);
      return GO_ON;
    }
    if (phase == ZP_SINIT_DATA) {
      std::memcpy(z.attention, r.data, static_cast<size_t>(r.dataLength));
      z.attention[r.dataLength] = 0;
      s.errorCount = 0;
      setState(z, ZACK);
      sendPositionHeader(ZACK, 1, true);
      return GO_ON;
    }
    viewText(FIELD_STATUS, "Received file header");
    return openReceivedFile(s, z);
  }
  if (r.dataLength > 0) {
    int w = holdData(s, z, r.data, r.dataLength);
    if (w < 0) return w;
    s.byteCount += static_cast<uint32_t>(r.dataLength);
    // The error budget is for failures in a row: a long file over a noisy
    // line must not run out of it while it makes progress.
    s.errorCount = 0;
    z.progressed = true;
    if (s.realTimeJpeg && !z.rewound && s.byteCount % 1024 == 0) {
      // The viewer reads the file: it must hold everything announced.
      if ((w = writeHeldData(s, z)) < 0) return w;
      transferView.jpegData(s.byteCount);
    }
  }
  switch (end) {
    case ZCRCE:
      z.phase = ZP_HEADER;
      zReadHeaders(r, 0);
      break;
    case ZCRCG:
      zReadData(r, ZDATA_MAX);
      break;
    case ZCRCQ:
      sendPositionHeader(ZACK, s.byteCount, true);
      setState(z, ZACK);
      zReadData(r, ZDATA_MAX);
      break;
    default:  // ZCRCW
      sendPositionHeader(ZACK, s.byteCount, true);
      setState(z, ZACK);
      sendLineByte(0x11);
      z.phase = ZP_HEADER;
      zReadHeaders(r, 0);
      break;
  }
  return GO_ON;
}

}  // namespace

int zmodemParseFileInfo(const uint8_t* data, int length, char* name, int nameSize, uint32_t* size) {
  const void* nul = std::memchr(data, 0, static_cast<size_t>(length));
  // No NUL: the block is not a file header.
  if (!nul || nameSize <= 0) return XFER_BAD_PACKET;
  int nameLength = static_cast<int>(static_cast<const uint8_t*>(nul) - data);
  if (nameLength == 0 || nameLength >= nameSize) return XFER_BAD_PACKET;
  std::memcpy(name, data, static_cast<size_t>(nameLength));
  name[nameLength] = 0;
  char info[32];
  int infoLength = length - nameLength - 1;
  if (infoLength > static_cast<int>(sizeof info) - 1) infoLength = sizeof info - 1;
  std::memcpy(info, data + nameLength + 1, static_cast<size_t>(infoLength));
  info[infoLength] = 0;
  unsigned long long v = std::strtoull(info, nullptr, 10);
  *size = v > 0xFFFFFFFFull ? 0 : static_cast<uint32_t>(v);
  return 0;
}

int zmodemReceiveBegin() {
  TransferState& s = transferState();
  ZmodemState& z = zmodemState();
  bool keep = z.keepInput;
  uint8_t saved[ZLINE_READ];
  int count = keep ? z.inCount - z.inPos : 0;
  if (count > 0) std::memcpy(saved, z.in + z.inPos, static_cast<size_t>(count));
  zmodemReset(z);
  z.owner = &s;
  if (count > 0) {
    std::memcpy(z.in, saved, static_cast<size_t>(count));
    z.inCount = count;
  }
  zReadHeaders(z.reader, garbageLimit());
  s.errorCount = 0;
  s.startTick = clockTicks();
  // The auto-start hands over the sender's ZRQINIT, which gets its ZRINIT
  // when read: a second one now would make the sender offer its file twice.
  static const uint8_t request[] = {0x18, 'B', '0', '0'};
  bool requestKept = count > 0 && std::search(z.in, z.in + count, request, request + sizeof request) != z.in + count;
  if (requestKept) setState(z, ZRINIT);
  else sendRinit(s, z);
  return 0;
}

int zmodemReceiveStep() {
  TransferState& s = transferState();
  ZmodemState& z = zmodemState();
  int handled = 0;
  bool drained = false;
  int r = GO_ON;
  z.progressed = false;
  for (;;) {
    if (z.inPos >= z.inCount) {
      // A read that did not fill the buffer took all there was: asking
      // again would only find the line empty.
      if (handled >= PASS_BYTES || drained) break;
      int n = lineRead(z.in, ZLINE_READ);
      drained = n < ZLINE_READ;
      if (n < 0) {
        r = LINK_LOST;
        break;
      }
      if (n == 0) break;
      z.inCount = n;
      z.inPos = 0;
      handled += n;
    }
    z.inPos += zReadPlainRun(z.reader, z.in + z.inPos, z.inCount - z.inPos, z.escapeAll);
    if (z.inPos >= z.inCount) continue;
    int v = zReadPush(z, z.in[z.inPos++]);
    if (v == ZR_MORE) continue;
    r = z.phase == ZP_HEADER ? onHeader(s, z, v) : onSubpacket(s, z, v);
    if (r != GO_ON) break;
  }
  // Between passes the file holds everything taken (a viewer or a later
  // crash recovery reads it).
  int w = writeHeldData(s, z);
  if (r == GO_ON && w < 0) r = w;
  // The progress once a pass, not per subpacket: formatting it costs more
  // than taking a subpacket.
  if (z.progressed) updateProgress(0);
  if (r != GO_ON) {
    z.inPos = z.inCount = 0;
    return r;  // the receive loop's abort sends our cancel
  }
  return handled > 0 ? STEP_BLOCK : STEP_NOTHING;
}

void zmodemReceiveTimeout() {
  TransferState& s = transferState();
  ZmodemState& z = zmodemState();
  z.phase = ZP_HEADER;
  zReadHeaders(z.reader, 0);
  resendState(s, z);
}

void zmodemReceiveCancel() {
  TransferState& s = transferState();
  linePurgeOutput();
  if (!s.settings.zmodemSegmented) sendAttention();
  zmodemCancelSequence(true);
}
