// ZMODEM: frame primitives, the receiver the receive loop drives, the batch
// sender and the auto-start the terminal's receive path arms.
#pragma once
#include <cstdint>

#include "transfer/transfer_state.h"

enum ZFrameType {
  ZRQINIT = 0, ZRINIT = 1, ZSINIT = 2, ZACK = 3, ZFILE = 4, ZSKIP = 5, ZNAK = 6, ZABORT = 7,
  ZFIN = 8, ZRPOS = 9, ZDATA = 10, ZEOF = 11, ZFERR = 12, ZCRC = 13, ZCHALLENGE = 14,
  ZCOMPL = 15, ZCAN = 16, ZFREECNT = 17, ZCOMMAND = 18, ZFRAME_TYPES = 19,
};
constexpr uint8_t ZPAD = '*';
constexpr uint8_t ZDLE = 0x18;
constexpr uint8_t ZBIN = 'A';
constexpr uint8_t ZHEX = 'B';
constexpr uint8_t ZBIN32 = 'C';
constexpr uint8_t ZCRCE = 'h';
constexpr uint8_t ZCRCG = 'i';
constexpr uint8_t ZCRCQ = 'j';
constexpr uint8_t ZCRCW = 'k';
// ZRINIT capability flags (ZF0).
constexpr uint8_t CANFDX = 0x01, CANOVIO = 0x02, CANBRK = 0x04, CANFC32 = 0x20, ESCCTL = 0x40;
constexpr uint8_t TESCCTL = 0x40;  // ZSINIT ZF0

// Largest subpacket we send; the receiver's announced buffer only lowers it.
constexpr int ZSEND_SUBPACKET_MAX = 1024;
// Largest data subpacket we take: lrzsz -8 sends 8 KiB subpackets to a
// receiver that streams. Anything longer is treated as a CRC error.
constexpr int ZDATA_MAX = 8192;
constexpr int ZFILE_INFO_MAX = 1024;
constexpr int ZATTENTION_MAX = 32;
constexpr int ZREAD_BUFFER = RECEIVE_BUFFER_SIZE;  // what the auto-start collects
// What one read from the line may bring: streamed data comes in large pieces.
constexpr int ZLINE_READ = 16 * 1024;
// Received data is written to the file in pieces of up to this much.
constexpr int ZWRITE_BEHIND = 32 * 1024;
// A streaming sender writes its subpackets to the line once a write's worth
// is queued, and looks for the receiver's reply after each write. The size
// follows the line: doubled after a write that took at most ZSEND_QUICK_MS,
// halved after one that took over ZSEND_SLOW_MS. A fast channel gets few
// large writes (each write wakes the other end); a slow line still answers
// Cancel and the receiver's ZRPOS within a moment, and has little in flight
// for the receiver to skip after a bad subpacket.
constexpr int ZSEND_QUEUE_MIN = 1024;
constexpr int ZSEND_QUEUE_MAX = 128 * 1024;
constexpr uint32_t ZSEND_QUICK_MS = 25;
constexpr uint32_t ZSEND_SLOW_MS = 100;

// What the reader reports for a byte pushed into it.
enum ZReadEvent {
  ZR_MORE = -100,          // nothing complete yet
  ZR_END = 0x100,          // ZR_END + end byte: a subpacket arrived whole, CRC good
  // a header: its type 0..18; negative transfer codes otherwise (-2 CRC, -7 bad char,
  // XFER_CANCEL_RECEIVED for five CAN inside a subpacket)
};

enum ZReadMode { ZM_SEEK, ZM_PAD, ZM_FORMAT, ZM_BINARY, ZM_HEX, ZM_HEX_TAIL, ZM_HEX_TAIL2, ZM_DATA, ZM_DATA_CRC };

// The reader: a state machine fed one byte at a time, so that the receiver
// can run from the receive loop's passes and the sender from its waits.
struct ZReader {
  ZReadMode mode;
  bool escaped;        // ZDLE seen, the next byte is its escape
  int canRun;          // CAN bytes in a row
  int garbage;         // bytes skipped while looking for a header
  int garbageLimit;
  uint8_t format;      // header format being read / of the last header read
  uint8_t lastFormat;  // "A", "B" or "C" of the last header read
  uint8_t raw[16];     // header bytes (hex: the digits)
  int rawCount;
  int dataLimit;
  int dataLength;
  uint8_t dataEnd;     // the subpacket end byte
  uint8_t crcBytes[4];
  int crcCount;
  uint8_t data[ZDATA_MAX];
};

enum ZReceivePhase { ZP_HEADER, ZP_SINIT_DATA, ZP_FILE_DATA, ZP_DATA };

struct ZmodemState {
  const TransferState* owner;
  ZReader reader;
  uint8_t in[ZLINE_READ];    // the read buffer (the auto-start seeds it)
  int inCount;
  int inPos;
  bool keepInput;            // the auto-start filled the buffer: the receive keeps it
  volatile bool readTimedOut;
  bool useCrc32;
  bool escapeAll;
  uint8_t lastSent;          // for the "@" CR rule
  uint8_t rxType;
  uint8_t rxArgs[4];
  uint32_t rxPosition;
  int state;                 // frame type sent last and resent on a retry
  char attention[ZATTENTION_MAX + 1];
  int subpacketLength;
  int window;                // sender: the receiver's buffer, bytes per ZCRCW (0 streams)
  uint8_t frameEnd;
  uint8_t streamingEnd;
  int lastSubpacketLength;
  bool rewound;
  uint32_t rewindTick;       // receiver: when our last ZRPOS went out
  ZReceivePhase phase;
  uint8_t out[ZSEND_QUEUE_MAX + 2 * ZDATA_MAX + 64];  // encoded frames not written yet
  int sendQueue;             // sender: bytes per write while streaming
  int outCount;
  // Receiver: data taken but not yet written, at writeOffset of the file.
  uint8_t toWrite[ZWRITE_BEHIND];
  int toWriteCount;
  uint32_t writeOffset;
  bool progressed;           // data taken in this receive pass
  bool inFile;               // receiver: a file is open from its ZRPOS to its ZEOF

};

// The ZMODEM state of the current TransferState (a test's second instance has its own).
ZmodemState& zmodemState();
void zmodemReset(ZmodemState& z);

uint32_t zcrc32Update(uint32_t crc, const uint8_t* data, int length);
uint16_t zcrc16Update(uint16_t crc, const uint8_t* data, int length);

// Reader.
void zReadHeaders(ZReader& r, int garbageLimit);
void zReadData(ZReader& r, int limit);
int zReadPush(ZmodemState& z, uint8_t b);
// Inside a subpacket: takes the leading bytes that need no decoding straight
// into the data; returns how many it took.
int zReadPlainRun(ZReader& r, const uint8_t* bytes, int count, bool escapeAll);
// Next byte of the read buffer, refilled from the line: -1 after 10 s without
// one, -11 cancelled, -16 line gone.
int readLineByte();
// The same, taking at most `most` bytes from the line when the buffer is empty
// (what follows the transfer stays on the line for the terminal).
int readLineByteOf(int most);
// A header through readLineByte: its type, or a negative code.
int readHeader();
// A subpacket of at most limit bytes: ZR_END + end byte, or a negative code.
int readSubpacket(int limit);

// Writers (each writes its whole frame to the line: bytes or a negative code).
int sendHexHeader(int type, const uint8_t args[4]);
int sendBinaryHeader(int type, const uint8_t args[4]);
int sendSubpacket(const uint8_t* data, int length, uint8_t end);
// The same, only queued: written with the next frame or by zFlush. 0, or a
// negative code when a full queue had to be written first and that failed.
int queueSubpacket(const uint8_t* data, int length, uint8_t end);
// Writes the queued frames: bytes or a negative code.
int zFlush();
// Writes the largest whole number of blocks of the queue and keeps the rest
// queued: bytes written or a negative code (the queue then emptied).
int zFlushBlocks(int block);
int sendPositionHeader(int type, uint32_t position, bool hex);
void positionArgs(uint32_t position, uint8_t args[4]);
uint32_t argsPosition(const uint8_t args[4]);
// Five CAN and, for a receiver, a hex ZABORT.
void zmodemCancelSequence(bool abortHeader);
// Writes the attention string (0xDD a break, 0xDE a one-second pause).
void sendAttention();

// Receiver (through the receive loop).
int zmodemReceiveBegin();
int zmodemReceiveStep();
void zmodemReceiveTimeout();
void zmodemReceiveCancel();
// Sender over the batch list: 0 or a negative code.
int zmodemSend();
// Whether a ZFILE information block names an acceptable file; fills name and size.
int zmodemParseFileInfo(const uint8_t* data, int length, char* name, int nameSize, uint32_t* size);

// Auto-start: the terminal hook slots.
void zmodemAutoStartInstall();
bool zmodemCaptureActive();
void zmodemCaptureByte(uint8_t b);
void zmodemArmCapture();
void zmodemAutoStartCheck();
