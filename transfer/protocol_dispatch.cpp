#include "transfer/protocol_dispatch.h"

#include "transfer/ascii_transfer.h"
#include "transfer/block_frame.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_line.h"
#include "transfer/xmodem.h"
#include "transfer/ymodem.h"

int protocolReceiveBegin(int protocol) {
  if (protocolIsBlock(protocol)) return blockReceiveBegin();
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
    default:
      return XFER_PROTOCOL_ERROR;
  }
}

void protocolReceiveRetry(int protocol) {
  if (protocolIsBlock(protocol)) blockReceiveRetry();
}

void protocolReceiveTimeout(int protocol) {
  if (protocolIsBlock(protocol)) blockReceiveTimeout();
}

void protocolReceiveCancel(int protocol) {
  if (protocolIsBlock(protocol)) sendCancel(3);
}

int protocolSend(int protocol) {
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
    default:
      return XFER_PROTOCOL_ERROR;
  }
}
