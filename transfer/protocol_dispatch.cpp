#include "transfer/protocol_dispatch.h"

#include "terminal/link.h"
#include "transfer/ascii_transfer.h"
#include "transfer/block_frame.h"
#include "transfer/kermit.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/xmodem.h"
#include "transfer/ymodem.h"
#include "transfer/zmodem.h"

int protocolReceiveBegin(int protocol) {
  if (protocolIsBlock(protocol)) return blockReceiveBegin();
  if (protocol == PROTOCOL_KERMIT) return kermitReceiveBegin();
  if (protocol == PROTOCOL_ZMODEM) return zmodemReceiveBegin();
  if (protocol == PROTOCOL_ASCII) return asciiReceiveBegin();
  return XFER_PROTOCOL_ERROR;
}

int protocolReceiveStep(int protocol) {
  switch (protocol) {
    case PROTOCOL_ASCII:
      return asciiReceiveStep();
    case PROTOCOL_XMODEM_SUM:
    case PROTOCOL_XMODEM_CRC:
    case PROTOCOL_XMODEM_1K:
      return xmodemReceiveStep();
    case PROTOCOL_YMODEM:
      return ymodemReceiveStep();
    case PROTOCOL_YMODEM_G:
      return ymodemGReceiveStep();
    case PROTOCOL_KERMIT:
      return kermitReceiveStep();
    case PROTOCOL_ZMODEM:
      return zmodemReceiveStep();
    default:
      return XFER_PROTOCOL_ERROR;
  }
}

void protocolReceiveRetry(int protocol) {
  if (protocolIsBlock(protocol)) blockReceiveRetry();
  if (protocol == PROTOCOL_KERMIT) kermitReceiveRetry();
}

void protocolReceiveTimeout(int protocol) {
  if (protocolIsBlock(protocol)) blockReceiveTimeout();
  if (protocol == PROTOCOL_KERMIT) kermitReceiveTimeout();
  if (protocol == PROTOCOL_ZMODEM) zmodemReceiveTimeout();
}

void protocolReceiveCancel(int protocol) {
  if (protocolIsBlock(protocol)) sendCancel(3);
  if (protocol == PROTOCOL_KERMIT) kermitSendError("Cancelled by user");
  if (protocol == PROTOCOL_ZMODEM) zmodemReceiveCancel();
}

void protocolReceiveAbort(int protocol, int code) {
  if (protocol == PROTOCOL_KERMIT) return;
  if (protocol != PROTOCOL_ZMODEM) {
    sendCancel(3);
    return;
  }
  // The sender cancelled or the line is gone: nobody to tell.
  if (code != LINK_LOST && code != XFER_CANCEL_RECEIVED) zmodemCancelSequence(true);
}

static int sendWith(int protocol) {
  switch (protocol) {
    case PROTOCOL_ASCII:
      return asciiSend();
    case PROTOCOL_XMODEM_SUM:
    case PROTOCOL_XMODEM_CRC:
    case PROTOCOL_XMODEM_1K:
      return xmodemSend();
    case PROTOCOL_YMODEM:
      return ymodemSend();
    case PROTOCOL_YMODEM_G:
      return ymodemGSend();
    case PROTOCOL_KERMIT:
      return kermitSendBatch();
    case PROTOCOL_ZMODEM:
      return zmodemSend();
    default:
      return XFER_PROTOCOL_ERROR;
  }
}

int protocolSend(int protocol) {
  int r = sendWith(protocol);
  fileClose(transferState().file);
  return r;
}
