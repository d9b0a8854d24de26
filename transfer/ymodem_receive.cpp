#include <cstring>

#include "transfer/block_frame.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_view.h"
#include "transfer/ymodem.h"

// Names containing ".JPG" in any case go to the image viewer while they arrive.
static bool isJpegName(const char* path) {
  for (const char* p = path; *p; ++p) {
    if (p[0] == '.' && (p[1] == 'j' || p[1] == 'J') && (p[2] == 'p' || p[2] == 'P') &&
        (p[3] == 'g' || p[3] == 'G'))
      return true;
  }
  return false;
}

// A header block whose check is right: 2 at the end of the batch, 1 when the
// file is created, or a negative code.
static int acceptHeader(TransferState& s) {
  YmodemHeader h = parseYmodemHeader(s.frame + 3);
  fileClose(s.file);
  if (!h.name[0]) {
    sendLineByte(ACK);
    return STEP_COMPLETE;
  }
  char path[TRANSFER_PATH_MAX];
  int r = receivedFilePath(s.settings.downloadDir, h.name, path, sizeof path);
  if (r < 0) return r;
  showFileSize(h.size);
  s.realTimeJpeg = s.settings.viewJpegRealtime && isJpegName(path);
  if (s.realTimeJpeg) transferView.jpegStart(path);
  if (s.settings.keepBackup) {
    r = backupExisting(path);
    if (r < 0) return r;
  }
  showFileName(path);
  r = fileCreate(path);
  if (r < 0) return r;
  std::memcpy(s.localPath, path, sizeof path);
  s.fileSize = h.size;
  s.byteCount = 0;
  s.firstBlockSeen = true;
  return STEP_BLOCK;
}

int ymodemReceiveStep() {
  TransferState& s = transferState();
  int r = collectFrame(s, 133, true);
  if (r <= 0) return r;
  if (r == FRAME_EOT) {
    s.pendingCount = 0;
    // The header told the size: an end before it means blocks were lost.
    if (s.firstBlockSeen && s.fileSize && s.byteCount < s.fileSize) return XFER_BAD_PACKET;
    if (!confirmEot(s)) return STEP_NOTHING;
    int closed = fileClose(s.file);
    if (closed < 0) return closed;
    updateProgress(0);  // the paced display may be behind the last block
    s.expectedBlock = 0;
    sendLineByte(ACK);
    sendLineByte(START_CRC);
    return STEP_NEXT_FILE;
  }
  const uint8_t* f = s.frame;
  if (f[1] != static_cast<uint8_t>(~f[2])) return XFER_BAD_SEQUENCE;
  if (!frameCheckOk(s, true)) return XFER_CRC_ERROR;
  s.eotCount = 0;
  if (!s.firstBlockSeen) {
    if (f[1] != s.expectedBlock) return XFER_BAD_SEQUENCE;
    if (f[0] != SOH) return XFER_BAD_PACKET;
    int accepted = acceptHeader(s);
    if (accepted != STEP_BLOCK) return accepted;
    sendLineByte(ACK);
    sendLineByte(START_CRC);
    updateProgress(0);
    s.errorCount = 0;
    ++s.expectedBlock;
    return STEP_BLOCK;
  }
  if (static_cast<uint8_t>(f[1] + 1) == s.expectedBlock) {
    // A repeat of the last block; a repeated header also needs its "C" again.
    sendLineByte(ACK);
    if (f[1] == 0 && s.byteCount == 0) sendLineByte(START_CRC);
    s.errorCount = 0;
    return STEP_BLOCK;
  }
  if (f[1] != s.expectedBlock) return XFER_BAD_SEQUENCE;
  // The answer first, as XMODEM does: the next frame crosses our file write.
  int w = sendLineByte(ACK);
  if (w < 0) return w;
  r = storeBlock(s, f + 3, frameDataLength(s));
  if (r < 0) return r;
  s.errorCount = 0;
  ++s.expectedBlock;
  return STEP_BLOCK;
}

int ymodemGReceiveStep() {
  TransferState& s = transferState();
  while (s.pendingCount == 0) {
    uint8_t b;
    int n = lineRead(&b, 1);
    if (n <= 0) return n;
    if (b == CAN) {
      if (++s.canCount >= 2) return XFER_CANCEL_RECEIVED;
      continue;
    }
    s.canCount = 0;
    if (b == SOH || b == STX) {
      s.frame[0] = b;
      s.frameLength = b == SOH ? 133 : 1029;
      s.pendingCount = 1;
    } else if (b == EOT) {
      int closed = fileClose(s.file);
      if (closed < 0) return closed;
      sendLineByte(ACK);
      sendLineByte(START_STREAM);
      return STEP_NEXT_FILE;
    } else if (s.firstBlockSeen) {
      return XFER_BAD_CHAR;
    }
    // Before a header, stray bytes (a host's echo of the command) are passed over.
  }
  int r = collectFrame(s, 133, true);
  if (r <= 0) return r;
  const uint8_t* f = s.frame;
  if (f[1] != static_cast<uint8_t>(~f[2]) || f[1] != s.expectedBlock) return XFER_BAD_SEQUENCE;
  if (!s.firstBlockSeen && f[0] != SOH) return XFER_BAD_PACKET;
  if (!frameCheckOk(s, true)) return XFER_CRC_ERROR;
  if (!s.firstBlockSeen) {
    int accepted = acceptHeader(s);
    if (accepted != STEP_BLOCK) return accepted;
    sendLineByte(START_STREAM);
    updateProgress(0);
    ++s.expectedBlock;
    return STEP_BLOCK;
  }
  r = storeBlock(s, f + 3, frameDataLength(s));
  if (r < 0) return r;
  ++s.expectedBlock;
  return STEP_NOTHING;
}
