#include "transfer/block_frame.h"

#include <cstring>

#include "terminal/link.h"
#include "transfer/block_check.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_view.h"

int collectFrame(TransferState& s, int sohLength, bool acceptStx) {
  while (s.pendingCount == 0) {
    uint8_t b;
    int n = lineRead(&b, 1);
    if (n <= 0) return n;
    if (b == CAN) {
      if (++s.canCount >= 2) return XFER_CANCEL_RECEIVED;
      continue;
    }
    s.canCount = 0;
    if (b == EOT) return FRAME_EOT;
    s.eotCount = 0;  // an EOT counts as confirmed only when nothing came between
    if (b == SOH) {
      s.frameLength = sohLength;
    } else if (b == STX) {
      if (!acceptStx) return XFER_BAD_PACKET;
      s.frameLength = 1029;
    } else {
      continue;
    }
    s.frame[0] = b;
    s.pendingCount = 1;
  }
  // Only the rest of this frame: a byte that follows belongs to the next read.
  int need = s.frameLength - s.pendingCount;
  if (need > 0) {
    int n = lineRead(s.frame + s.pendingCount, need);
    if (n < 0) return n;
    s.pendingCount += n;
  }
  if (s.pendingCount < s.frameLength) return FRAME_INCOMPLETE;
  s.pendingCount = 0;
  return FRAME_READY;
}

int frameDataLength(const TransferState& s) { return s.frame[0] == STX ? 1024 : 128; }

bool frameCheckOk(const TransferState& s, bool crc) {
  int length = frameDataLength(s);
  const uint8_t* data = s.frame + 3;
  if (!crc) return checksum8(data, length) == data[length];
  uint16_t got = static_cast<uint16_t>(data[length] << 8 | data[length + 1]);
  return crc16(data, length) == got;
}

int blockReceiveBegin() {
  TransferState& s = transferState();
  s.expectedBlock = protocolIsXmodem(s.protocol) ? 1 : 0;
  return sendLineByte(static_cast<uint8_t>(protocolStartSignal(s.protocol)));
}

void blockReceiveRetry() {
  linePurgeInput();
  sendLineByte(NAK);
}

void blockReceiveTimeout() {
  TransferState& s = transferState();
  linePurgeOutput();
  sendLineByte(s.firstBlockSeen ? static_cast<uint8_t>(NAK) : static_cast<uint8_t>(protocolStartSignal(s.protocol)));
}

bool confirmEot(TransferState& s) {
  if (s.eotCount++ == 0) {
    // What came before the NAK cannot be the repeat of this EOT.
    linePurgeInput();
    sendLineByte(NAK);
    return false;
  }
  s.eotCount = 0;
  return true;
}

int buildFrame(TransferState& s, uint8_t block, const uint8_t* data, int length, int blockSize, bool crc,
               uint8_t padding) {
  uint8_t* f = s.sendFrame;
  f[0] = blockSize == 1024 ? STX : SOH;
  f[1] = block;
  f[2] = static_cast<uint8_t>(~block);
  if (length > blockSize) length = blockSize;
  if (length < 0) length = 0;
  if (data != f + 3) std::memmove(f + 3, data, static_cast<size_t>(length));
  std::memset(f + 3 + length, padding, static_cast<size_t>(blockSize - length));
  if (crc) {
    uint16_t c = crc16(f + 3, blockSize);
    f[3 + blockSize] = static_cast<uint8_t>(c >> 8);
    f[4 + blockSize] = static_cast<uint8_t>(c);
    return blockSize + 5;
  }
  f[3 + blockSize] = checksum8(f + 3, blockSize);
  return blockSize + 4;
}

// A YMODEM file is cut to the size its header gave: the padding of the last
// block is not the sender's data, and the file arrives byte for byte.
int blockBytesToKeep(const TransferState& s, int dataLength) {
  if (s.fileSize == 0 || protocolIsXmodem(s.protocol)) return dataLength;
  if (s.byteCount >= s.fileSize) return 0;
  uint32_t left = s.fileSize - s.byteCount;
  return left < static_cast<uint32_t>(dataLength) ? static_cast<int>(left) : dataLength;
}

int storeBlock(TransferState& s, const uint8_t* data, int dataLength) {
  int keep = blockBytesToKeep(s, dataLength);
  if (keep > 0) {
    int r = fileAppend(s.file, s.localPath, data, keep);
    if (r < 0) return r;
  }
  uint32_t before = s.byteCount;
  s.byteCount += static_cast<uint32_t>(keep);
  updateProgressPaced(0);
  if (s.realTimeJpeg && s.byteCount / 1024 != before / 1024)
    transferView.jpegData(s.byteCount);
  return 0;
}
