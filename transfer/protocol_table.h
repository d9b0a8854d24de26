// The protocol table: the index the records and every protocol switch use, and
// the names the "Protocols" page and the progress dialog show.
#pragma once

#define TRANSFER_PROTOCOLS(X)                  \
  X(PROTOCOL_ASCII, 0, "ASCII")                \
  X(PROTOCOL_XMODEM_SUM, 1, "XMODEM/CHECKSUM") \
  X(PROTOCOL_XMODEM_CRC, 2, "XMODEM/CRC")      \
  X(PROTOCOL_XMODEM_1K, 3, "XMODEM/1K")        \
  X(PROTOCOL_YMODEM, 4, "YMODEM BATCH")        \
  X(PROTOCOL_YMODEM_G, 5, "YMODEM G")          \
  X(PROTOCOL_ZMODEM, 6, "ZMODEM")              \
  X(PROTOCOL_KERMIT, 7, "KERMIT")

enum TransferProtocol {
#define PROTOCOL_ENUM(name, index, text) name = index,
  TRANSFER_PROTOCOLS(PROTOCOL_ENUM)
#undef PROTOCOL_ENUM
};
constexpr int PROTOCOL_COUNT = 8;

// Display name of index; "" outside 0..7.
const char* protocolName(int protocol);
// Index of a name as the tools spell it ("xmodem", "xmodem-crc", "xmodem-1k",
// "ymodem", "ymodem-g", "zmodem", "kermit", "ascii"), or -1.
int protocolFromToolName(const char* name);

bool protocolIsXmodem(int protocol);   // 1 to 3
bool protocolIsBlock(int protocol);    // 1 to 5
// The protocols whose send walks the batch list and whose receive names the
// files itself (YMODEM BATCH, YMODEM G, ZMODEM, KERMIT).
bool protocolIsBatch(int protocol);
// The byte a block receiver opens with: NAK, "C" or "G"; 0 for the others.
int protocolStartSignal(int protocol);
