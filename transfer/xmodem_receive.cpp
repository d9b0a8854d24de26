#include "transfer/block_frame.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_view.h"
#include "transfer/xmodem.h"

int xmodemReceiveStep() {
  TransferState& s = transferState();
  bool crc = s.protocol != PROTOCOL_XMODEM_SUM;
  int r = collectFrame(s, crc ? 133 : 132, s.protocol == PROTOCOL_XMODEM_1K);
  if (r <= 0) return r;
  if (r == FRAME_EOT) {
    s.pendingCount = 0;
    if (!confirmEot(s)) return STEP_NOTHING;
    int closed = fileClose(s.file);
    if (closed < 0) return closed;
    updateProgress(0);  // the paced display may be behind the last block
    s.expectedBlock = 0;
    sendLineByte(ACK);
    return STEP_COMPLETE;
  }
  const uint8_t* f = s.frame;
  if (f[1] != static_cast<uint8_t>(~f[2])) return XFER_BAD_SEQUENCE;
  if (!frameCheckOk(s, crc)) return XFER_CRC_ERROR;
  s.eotCount = 0;
  if (s.firstBlockSeen && static_cast<uint8_t>(f[1] + 1) == s.expectedBlock) {
    // Our ACK was lost: acknowledge again, write nothing.
    sendLineByte(ACK);
    s.errorCount = 0;
    return STEP_BLOCK;
  }
  if (f[1] != s.expectedBlock) return XFER_BAD_SEQUENCE;
  // The answer first: the sender's next frame crosses our file write. A
  // write that fails still ends the transfer as failed, with our cancel.
  int w = sendLineByte(ACK);
  if (w < 0) return w;
  int r2 = storeBlock(s, f + 3, frameDataLength(s));
  if (r2 < 0) return r2;
  s.errorCount = 0;
  s.firstBlockSeen = true;
  ++s.expectedBlock;
  return STEP_BLOCK;
}
