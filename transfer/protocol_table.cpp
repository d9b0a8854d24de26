#include "transfer/protocol_table.h"

#include <cstring>

#include "transfer/transfer_codes.h"

const char* protocolName(int protocol) {
  switch (protocol) {
#define PROTOCOL_TEXT(name, index, text) \
  case index:                            \
    return text;
    TRANSFER_PROTOCOLS(PROTOCOL_TEXT)
#undef PROTOCOL_TEXT
    default:
      return "";
  }
}

int protocolFromToolName(const char* name) {
  static const char* const names[PROTOCOL_COUNT] = {"ascii",   "xmodem",   "xmodem-crc", "xmodem-1k",
                                                    "ymodem",  "ymodem-g", "zmodem",     "kermit"};
  if (!name) return -1;
  for (int i = 0; i < PROTOCOL_COUNT; ++i)
    if (std::strcmp(name, names[i]) == 0) return i;
  return -1;
}

bool protocolIsXmodem(int protocol) { return protocol >= PROTOCOL_XMODEM_SUM && protocol <= PROTOCOL_XMODEM_1K; }
bool protocolIsBlock(int protocol) { return protocol >= PROTOCOL_XMODEM_SUM && protocol <= PROTOCOL_YMODEM_G; }
bool protocolIsBatch(int protocol) { return protocol >= PROTOCOL_YMODEM && protocol <= PROTOCOL_KERMIT; }

int protocolStartSignal(int protocol) {
  switch (protocol) {
    case PROTOCOL_XMODEM_SUM:
      return NAK;
    case PROTOCOL_XMODEM_CRC:
    case PROTOCOL_XMODEM_1K:
    case PROTOCOL_YMODEM:
      return START_CRC;
    case PROTOCOL_YMODEM_G:
      return START_STREAM;
    default:
      return 0;
  }
}
