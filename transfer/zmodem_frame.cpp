// ZMODEM frames on the wire: the CRCs, the escaping writers and the reader
// state machine that turns bytes into headers and subpackets.
#include <cstring>

#include "shell/pump.h"
#include "terminal/options.h"
#include "terminal/link.h"
#include "transfer/crc32_fold.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_line.h"
#include "transfer/zmodem.h"
#include "transfer/zmodem_wide.h"

namespace {
// crc32Tables[k][i]: the CRC-32 of byte i followed by k zero bytes, so the
// data can be taken eight bytes a step.
uint32_t crc32Tables[8][256];
uint32_t (&crc32Table)[256] = crc32Tables[0];
uint16_t crc16Table[256];
bool tablesReady = false;

void buildTables() {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    crc32Table[i] = c;
    uint16_t d = static_cast<uint16_t>(i << 8);
    for (int k = 0; k < 8; ++k) d = static_cast<uint16_t>((d & 0x8000) ? (d << 1) ^ 0x1021 : d << 1);
    crc16Table[i] = d;
  }
  for (int k = 1; k < 8; ++k)
    for (int i = 0; i < 256; ++i)
      crc32Tables[k][i] = (crc32Tables[k - 1][i] >> 8) ^ crc32Table[crc32Tables[k - 1][i] & 0xFF];
  tablesReady = true;
}

// One per TransferState in use: the program's own, and a test's sender and
// receiver. The least recently used slot goes to a new owner.
constexpr int SLOTS = 4;
ZmodemState instances[SLOTS];
uint32_t lastUse[SLOTS];
uint32_t useCounter = 0;

const char hexDigits[] = "0123456789abcdef";

int hexValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isFlow(uint8_t b) { return b == 0x11 || b == 0x13 || b == 0x91 || b == 0x93; }

// Eight bytes at a time: zeroByte marks the zero bytes of w. It never marks
// when none is zero, and its lowest mark is always a zero byte (higher ones
// may be false); with the bytes loaded in memory order (little-endian, as on
// every target) the lowest mark is the first such byte.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the eight-byte scans take the first byte as the lowest"
#endif
constexpr uint64_t ONES = 0x0101010101010101ull;
constexpr uint64_t HIGHS = 0x8080808080808080ull;
inline uint64_t zeroByte(uint64_t w) { return (w - ONES) & ~w & HIGHS; }
inline uint64_t load8(const uint8_t* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}
// Which byte the lowest mark stands for: 0..7.
inline int firstMarked(uint64_t marks) { return __builtin_ctzll(marks) >> 3; }

// Bytes the ZDLE decoding cannot return as they are: with every control
// escaped those without bit 5 or 6; else ZDLE, XON and XOFF (the bytes that
// give 0x11 under 0x7D, with or without parity).
inline uint64_t decodeStops(uint64_t w, bool escapeAll) {
  if (escapeAll) return zeroByte(w & (ONES * 0x60));
  return zeroByte(w ^ (ONES * ZDLE)) | zeroByte((w & (ONES * 0x7D)) ^ (ONES * 0x11));
}
inline bool decodeStop(uint8_t b, bool escapeAll) {
  if (b & 0x60) return false;
  return escapeAll || b == ZDLE || isFlow(b);
}

// How many leading bytes decode to themselves.
int plainLength(const uint8_t* p, int count, bool escapeAll) {
  int n = zPlainWide(p, count, escapeAll);
  for (; n + 8 <= count; n += 8) {
    uint64_t stops = decodeStops(load8(p + n), escapeAll);
    if (stops) return n + firstMarked(stops);
  }
  while (n < count && !decodeStop(p[n], escapeAll)) ++n;
  return n;
}
}  // namespace

uint32_t zcrc32Update(uint32_t crc, const uint8_t* data, int length) {
  if (!tablesReady) buildTables();
  int i = length > 0 ? crc32Fold(&crc, data, length) : 0;
  for (; i + 8 <= length; i += 8) {
    crc ^= data[i] | (data[i + 1] << 8) | (data[i + 2] << 16) | (static_cast<uint32_t>(data[i + 3]) << 24);
    crc = crc32Tables[7][crc & 0xFF] ^ crc32Tables[6][(crc >> 8) & 0xFF] ^ crc32Tables[5][(crc >> 16) & 0xFF] ^
          crc32Tables[4][crc >> 24] ^ crc32Tables[3][data[i + 4]] ^ crc32Tables[2][data[i + 5]] ^
          crc32Tables[1][data[i + 6]] ^ crc32Tables[0][data[i + 7]];
  }
  for (; i < length; ++i) crc = crc32Table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

uint16_t zcrc16Update(uint16_t crc, const uint8_t* data, int length) {
  if (!tablesReady) buildTables();
  for (int i = 0; i < length; ++i) crc = static_cast<uint16_t>(crc16Table[(crc >> 8) ^ data[i]] ^ (crc << 8));
  return crc;
}

ZmodemState& zmodemState() {
  const TransferState* s = &transferState();
  int victim = 0;
  for (int i = 0; i < SLOTS; ++i) {
    if (instances[i].owner == s) {
      lastUse[i] = ++useCounter;
      return instances[i];
    }
    if (lastUse[i] < lastUse[victim]) victim = i;
  }
  ZmodemState& z = instances[victim];
  lastUse[victim] = ++useCounter;
  zmodemReset(z);
  z.owner = s;
  return z;
}

void zmodemReset(ZmodemState& z) {
  const TransferState* owner = z.owner;
  std::memset(&z, 0, sizeof z);
  z.owner = owner;
  z.state = ZRINIT;
  z.frameEnd = ZCRCG;
  z.streamingEnd = ZCRCG;
  z.subpacketLength = ZSEND_SUBPACKET_MAX;
  z.sendQueue = ZSEND_QUEUE_MIN;
  zReadHeaders(z.reader, 10000);
}

void positionArgs(uint32_t position, uint8_t args[4]) {
  for (int i = 0; i < 4; ++i) args[i] = static_cast<uint8_t>(position >> (8 * i));
}

uint32_t argsPosition(const uint8_t args[4]) {
  return args[0] | (args[1] << 8) | (args[2] << 16) | (static_cast<uint32_t>(args[3]) << 24);
}

// ---- reader ----

void zReadHeaders(ZReader& r, int garbageLimit) {
  r.mode = ZM_SEEK;
  r.escaped = false;
  r.canRun = 0;
  r.garbage = 0;
  if (garbageLimit > 0) r.garbageLimit = garbageLimit;
}

void zReadData(ZReader& r, int limit) {
  r.mode = ZM_DATA;
  r.escaped = false;
  r.canRun = 0;
  r.dataLimit = limit < ZDATA_MAX ? limit : ZDATA_MAX;
  r.dataLength = 0;
  r.crcCount = 0;
}

// The ZDLE decoding of binary headers and data: a byte 0..255, ZR_END + end
// byte, ZR_MORE, XFER_BAD_CHAR, or XFER_CANCEL_RECEIVED for five CAN.
static int zdleDecode(ZReader& r, uint8_t b, bool escapeAll) {
  if (!r.escaped) {
    if (b & 0x60) return b;
    if (isFlow(b)) return ZR_MORE;
    if (b == ZDLE) {
      r.escaped = true;
      r.canRun = 1;
      return ZR_MORE;
    }
    if (escapeAll) return ZR_MORE;
    return b;
  }
  if (b == ZDLE) {
    if (++r.canRun >= 5) {
      r.escaped = false;
      return XFER_CANCEL_RECEIVED;
    }
    return ZR_MORE;
  }
  if (isFlow(b)) return ZR_MORE;
  r.escaped = false;
  r.canRun = 0;
  if (b >= ZCRCE && b <= ZCRCW) return ZR_END + b;
  if (b == 'l') return 0x7F;
  if (b == 'm') return 0xFF;
  if ((b & 0x60) == 0x40) return b ^ 0x40;
  return XFER_BAD_CHAR;
}

static int headerDone(ZmodemState& z, const uint8_t* h) {
  ZReader& r = z.reader;
  r.lastFormat = r.format;
  z.rxType = h[0];
  std::memcpy(z.rxArgs, h + 1, 4);
  z.rxPosition = argsPosition(z.rxArgs);
  zReadHeaders(r, 0);
  return h[0];
}

static int headerError(ZReader& r, int code) {
  zReadHeaders(r, 0);
  return code;
}

// Looking for "*" ZDLE and a format, counting CAN and garbage.
static int seekByte(ZmodemState& z, uint8_t b) {
  ZReader& r = z.reader;
  if (b == ZPAD || b == (ZPAD | 0x80)) {
    r.mode = ZM_PAD;
    r.canRun = 0;
    return ZR_MORE;
  }
  if (b == ZDLE) {
    if (++r.canRun >= 5) return headerError(r, ZCAN);
    return ZR_MORE;
  }
  r.canRun = 0;
  if (++r.garbage > r.garbageLimit) return headerError(r, XFER_BAD_CHAR);
  return ZR_MORE;
}

int zReadPush(ZmodemState& z, uint8_t b) {
  ZReader& r = z.reader;
  switch (r.mode) {
    case ZM_SEEK:
      return seekByte(z, b);
    case ZM_PAD:
      if (b == ZPAD || b == (ZPAD | 0x80)) return ZR_MORE;
      if (b == ZDLE) {
        r.mode = ZM_FORMAT;
        r.canRun = 1;
        return ZR_MORE;
      }
      r.mode = ZM_SEEK;
      return seekByte(z, b);
    case ZM_FORMAT:
      if (b == ZBIN || b == ZBIN32 || b == ZHEX) {
        r.format = b;
        r.rawCount = 0;
        r.escaped = false;
        r.canRun = 0;
        r.mode = b == ZHEX ? ZM_HEX : ZM_BINARY;
        return ZR_MORE;
      }
      if (b == ZDLE) {
        if (++r.canRun >= 5) return headerError(r, ZCAN);
        return ZR_MORE;
      }
      if (isFlow(b)) return ZR_MORE;
      r.mode = ZM_SEEK;
      return seekByte(z, b);
    case ZM_BINARY: {
      int v = zdleDecode(r, b, z.escapeAll);
      if (v == ZR_MORE) return ZR_MORE;
      if (v == XFER_CANCEL_RECEIVED) return headerError(r, ZCAN);
      if (v < 0 || v >= ZR_END) return headerError(r, XFER_BAD_CHAR);
      r.raw[r.rawCount++] = static_cast<uint8_t>(v);
      int need = r.format == ZBIN32 ? 9 : 7;
      if (r.rawCount < need) return ZR_MORE;
      if (r.format == ZBIN32) {
        if (zcrc32Update(0xFFFFFFFFu, r.raw, 9) != 0xDEBB20E3u) return headerError(r, XFER_CRC_ERROR);
      } else if (zcrc16Update(0, r.raw, 7) != 0) {
        return headerError(r, XFER_CRC_ERROR);
      }
      return headerDone(z, r.raw);
    }
    case ZM_HEX: {
      if (isFlow(b)) return ZR_MORE;
      uint8_t c = b & 0x7F;
      if (c < 0x20 && z.escapeAll && c != '\r' && c != '\n' && c != ZDLE) return ZR_MORE;
      int v = hexValue(c);
      if (v < 0) return headerError(r, XFER_BAD_CHAR);
      r.raw[r.rawCount++] = static_cast<uint8_t>(v);
      if (r.rawCount < 14) return ZR_MORE;
      uint8_t h[7];
      for (int i = 0; i < 7; ++i) h[i] = static_cast<uint8_t>(r.raw[2 * i] << 4 | r.raw[2 * i + 1]);
      if (zcrc16Update(0, h, 7) != 0) return headerError(r, XFER_CRC_ERROR);
      int type = headerDone(z, h);
      r.mode = ZM_HEX_TAIL;
      return type;
    }
    case ZM_HEX_TAIL:
      // A hex header ends in CR LF: swallow the CR and the byte after it.
      if ((b & 0x7F) == '\r') {
        r.mode = ZM_HEX_TAIL2;
        return ZR_MORE;
      }
      r.mode = ZM_SEEK;
      return zReadPush(z, b);
    case ZM_HEX_TAIL2:
      r.mode = ZM_SEEK;
      return ZR_MORE;
    case ZM_DATA: {
      int v = zdleDecode(r, b, z.escapeAll);
      if (v == ZR_MORE) return ZR_MORE;
      if (v < 0) return headerError(r, v);
      if (v >= ZR_END) {
        r.dataEnd = static_cast<uint8_t>(v - ZR_END);
        r.crcCount = 0;
        r.mode = ZM_DATA_CRC;
        return ZR_MORE;
      }
      // Longer than the buffer: refused like a bad CRC, never stored.
      if (r.dataLength >= r.dataLimit) return headerError(r, XFER_CRC_ERROR);
      r.data[r.dataLength++] = static_cast<uint8_t>(v);
      return ZR_MORE;
    }
    case ZM_DATA_CRC: {
      int v = zdleDecode(r, b, z.escapeAll);
      if (v == ZR_MORE) return ZR_MORE;
      if (v < 0) return headerError(r, v);
      if (v >= ZR_END) return headerError(r, XFER_BAD_CHAR);
      r.crcBytes[r.crcCount++] = static_cast<uint8_t>(v);
      bool crc32 = r.lastFormat == ZBIN32;
      if (r.crcCount < (crc32 ? 4 : 2)) return ZR_MORE;
      bool good;
      if (crc32) {
        uint32_t c = zcrc32Update(0xFFFFFFFFu, r.data, r.dataLength);
        c = zcrc32Update(c, &r.dataEnd, 1);
        c = zcrc32Update(c, r.crcBytes, 4);
        good = c == 0xDEBB20E3u;
      } else {
        uint16_t c = zcrc16Update(0, r.data, r.dataLength);
        c = zcrc16Update(c, &r.dataEnd, 1);
        good = zcrc16Update(c, r.crcBytes, 2) == 0;
      }
      r.mode = ZM_SEEK;
      r.garbage = 0;
      if (!good) return XFER_CRC_ERROR;
      return ZR_END + r.dataEnd;
    }
  }
  return ZR_MORE;
}

int zReadPlainRun(ZReader& r, const uint8_t* bytes, int count, bool escapeAll) {
  if (r.mode != ZM_DATA || r.escaped) return 0;
  uint8_t* out = r.data + r.dataLength;
  int room = r.dataLimit - r.dataLength;
  int taken = 0;
  int n = zDecodeWide(bytes, count, out, room, escapeAll, &taken);
  for (;;) {
    int run = plainLength(bytes + n, count - n < room - taken ? count - n : room - taken, escapeAll);
    std::memcpy(out + taken, bytes + n, static_cast<size_t>(run));
    n += run;
    taken += run;
    // A ZDLE and an escaped control decode here as well; the rest (subpacket
    // ends, CAN, flow bytes, escaped DEL) is left to the state machine.
    if (n + 1 >= count || taken >= room || bytes[n] != ZDLE || (bytes[n + 1] & 0x60) != 0x40) break;
    out[taken++] = bytes[n + 1] ^ 0x40;
    n += 2;
  }
  r.dataLength += taken;
  return n;
}

int readLineByte() { return readLineByteOf(ZLINE_READ); }

int readLineByteOf(int most) {
  ZmodemState& z = zmodemState();
  if (z.inPos < z.inCount) return z.in[z.inPos++];
  if (most < 1 || most > ZLINE_READ) most = ZLINE_READ;
  TransferState& s = transferState();
  z.readTimedOut = false;
  timerStart(TIMER_LINE_WRITE, ZMODEM_READ_MS, &z.readTimedOut);
  int result;
  for (;;) {
    if (s.cancelRequested) {
      result = XFER_USER_CANCEL;
      break;
    }
    if (z.readTimedOut) {
      result = XFER_TIMEOUT;
      break;
    }
    int n = lineRead(z.in, most);
    if (n < 0) {
      result = LINK_LOST;
      break;
    }
    if (n > 0) {
      z.inCount = n;
      z.inPos = 1;
      result = z.in[0];
      break;
    }
    if (lineIdle() < 0) {
      result = XFER_USER_CANCEL;
      break;
    }
  }
  timerKill(TIMER_LINE_WRITE);
  return result;
}

int readHeader() {
  ZmodemState& z = zmodemState();
  if (z.reader.mode == ZM_DATA || z.reader.mode == ZM_DATA_CRC) zReadHeaders(z.reader, 0);
  z.reader.garbage = 0;
  for (;;) {
    int b = readLineByte();
    if (b < 0) {
      if (b == XFER_TIMEOUT && z.reader.canRun > 0) continue;  // a pause between CANs
      zReadHeaders(z.reader, 0);
      return b;
    }
    int v = zReadPush(z, static_cast<uint8_t>(b));
    if (v != ZR_MORE) return v;
  }
}

int readSubpacket(int limit) {
  ZmodemState& z = zmodemState();
  zReadData(z.reader, limit);
  for (;;) {
    int b = readLineByte();
    if (b < 0) {
      zReadHeaders(z.reader, 0);
      return b;
    }
    int v = zReadPush(z, static_cast<uint8_t>(b));
    if (v != ZR_MORE) return v;
  }
}

// ---- writers ----

static void put(ZmodemState& z, uint8_t b) {
  z.out[z.outCount++] = b;
  z.lastSent = b;
}

// How a byte goes out, by mode ([0]: only the flow and ZDLE bytes are
// escaped; [1]: every control is): always escaped, or escaped only after
// "@" (CR: "@" CR is a command to some packet networks on the way).
struct EscapeTables {
  uint8_t always[2][256];
  uint8_t afterAt[2][256];
};

static const EscapeTables& escapeTables() {
  static EscapeTables t;
  static bool ready = false;
  if (!ready) {
    for (int b = 0; b < 256; ++b) {
      switch (b) {
        case 0x10: case 0x11: case 0x13: case 0x18: case 0x90: case 0x91: case 0x93:
          t.always[0][b] = 1;
          break;
        case 0x0D: case 0x8D:
          t.afterAt[0][b] = 1;
          break;
        default:
          break;
      }
      t.always[1][b] = (b & 0x60) ? 0 : 1;
    }
    ready = true;
  }
  return t;
}

// Marks the bytes of w that may need escaping: with every control escaped
// those without bit 5 or 6; else 0x10, 0x11, 0x13, 0x18 and CR, with or
// without parity.
static uint64_t escapeCandidates(uint64_t w, bool all) {
  if (all) return zeroByte(w & (ONES * 0x60));
  uint64_t m = w & (ONES * 0x7F);
  return zeroByte(m ^ (ONES * 0x10)) | zeroByte(m ^ (ONES * 0x11)) | zeroByte(m ^ (ONES * 0x13)) |
         zeroByte(m ^ (ONES * 0x18)) | zeroByte(m ^ (ONES * 0x0D));
}

// Escapes length bytes into the output; the caller made room for twice as
// many and sixteen more.
static void putEscapedRun(ZmodemState& z, const uint8_t* data, int length) {
  bool all = z.escapeAll;
  const EscapeTables& t = escapeTables();
  const uint8_t* always = t.always[all ? 1 : 0];
  const uint8_t* afterAt = t.afterAt[all ? 1 : 0];
  uint8_t* o = z.out + z.outCount;
  uint8_t last = z.lastSent;
  int i = zEscapeWide(data, length, &o, all, &last);
  while (i < length) {
    if (i + 8 <= length) {
      // Eight bytes go out as they are up to the first that may need
      // escaping. The copy of all eight stays within the room made: so far
      // at most 2 * i bytes went out.
      uint64_t w = load8(data + i);
      uint64_t marks = escapeCandidates(w, all);
      std::memcpy(o, &w, 8);
      int plain = marks ? firstMarked(marks) : 8;
      o += plain;
      i += plain;
      if (plain > 0) last = data[i - 1];
      if (plain == 8) continue;
    }
    uint8_t b = data[i++];
    if (always[b] || (afterAt[b] && (last & 0x7F) == '@')) {
      *o++ = ZDLE;
      b ^= 0x40;
    }
    *o++ = b;
    last = b;
  }
  z.outCount = static_cast<int>(o - z.out);
  z.lastSent = last;
}

static void putEscaped(ZmodemState& z, uint8_t b) { putEscapedRun(z, &b, 1); }

static int flush(ZmodemState& z) {
  int n = z.outCount;
  z.outCount = 0;
  return sendLineBytes(z.out, n);
}

int zFlush() { return flush(zmodemState()); }

int zFlushBlocks(int block) {
  ZmodemState& z = zmodemState();
  int whole = block > 0 ? z.outCount / block * block : z.outCount;
  if (whole == 0) return 0;
  int rest = z.outCount - whole;
  int r = sendLineBytes(z.out, whole);
  if (r < 0) {
    z.outCount = 0;
    return r;
  }
  std::memmove(z.out, z.out + whole, static_cast<size_t>(rest));
  z.outCount = rest;
  return r;
}

// A header goes out with what is queued before it; a queue too full to take
// one more header (not the case while a sender streams) is written first.
static int roomForHeader(ZmodemState& z) {
  if (z.outCount + 64 <= static_cast<int>(sizeof z.out)) return 0;
  return flush(z);
}

static void putHex(ZmodemState& z, uint8_t b) {
  put(z, static_cast<uint8_t>(hexDigits[b >> 4]));
  put(z, static_cast<uint8_t>(hexDigits[b & 15]));
}

int sendHexHeader(int type, const uint8_t args[4]) {
  ZmodemState& z = zmodemState();
  uint8_t h[5] = {static_cast<uint8_t>(type), args[0], args[1], args[2], args[3]};
  uint16_t crc = zcrc16Update(0, h, 5);
  int r = roomForHeader(z);
  if (r < 0) return r;
  put(z, ZPAD);
  put(z, ZPAD);
  put(z, ZDLE);
  put(z, ZHEX);
  for (uint8_t b : h) putHex(z, b);
  putHex(z, static_cast<uint8_t>(crc >> 8));
  putHex(z, static_cast<uint8_t>(crc));
  put(z, '\r');
  put(z, 0x0A);
  if (type != ZFIN && type != ZACK) put(z, 0x11);
  return flush(z);
}

int sendBinaryHeader(int type, const uint8_t args[4]) {
  ZmodemState& z = zmodemState();
  uint8_t h[5] = {static_cast<uint8_t>(type), args[0], args[1], args[2], args[3]};
  int r = roomForHeader(z);
  if (r < 0) return r;
  put(z, ZPAD);
  put(z, ZDLE);
  if (z.useCrc32) {
    put(z, ZBIN32);
    for (uint8_t b : h) putEscaped(z, b);
    uint32_t crc = ~zcrc32Update(0xFFFFFFFFu, h, 5);
    for (int i = 0; i < 4; ++i) putEscaped(z, static_cast<uint8_t>(crc >> (8 * i)));
  } else {
    put(z, ZBIN);
    // The type byte is escaped too: a receiver dropping unescaped controls
    // would lose it otherwise.
    for (uint8_t b : h) putEscaped(z, b);
    uint16_t crc = zcrc16Update(0, h, 5);
    putEscaped(z, static_cast<uint8_t>(crc >> 8));
    putEscaped(z, static_cast<uint8_t>(crc));
  }
  return flush(z);
}

int sendSubpacket(const uint8_t* data, int length, uint8_t end) {
  int r = queueSubpacket(data, length, end);
  return r < 0 ? r : zFlush();
}

int queueSubpacket(const uint8_t* data, int length, uint8_t end) {
  ZmodemState& z = zmodemState();
  if (length < 0) length = 0;
  if (length > ZDATA_MAX) length = ZDATA_MAX;
  // Room for the subpacket with every byte escaped, its end and CRC.
  if (z.outCount + 2 * length + 16 > static_cast<int>(sizeof z.out)) {
    int r = flush(z);
    if (r < 0) return r;
  }
  putEscapedRun(z, data, length);
  put(z, ZDLE);
  put(z, end);
  if (z.useCrc32) {
    uint32_t crc = zcrc32Update(0xFFFFFFFFu, data, length);
    crc = ~zcrc32Update(crc, &end, 1);
    for (int i = 0; i < 4; ++i) putEscaped(z, static_cast<uint8_t>(crc >> (8 * i)));
  } else {
    uint16_t crc = zcrc16Update(zcrc16Update(0, data, length), &end, 1);
    putEscaped(z, static_cast<uint8_t>(crc >> 8));
    putEscaped(z, static_cast<uint8_t>(crc));
  }
  if (end == ZCRCW) put(z, 0x11);
  return 0;
}

int sendPositionHeader(int type, uint32_t position, bool hex) {
  uint8_t args[4];
  positionArgs(position, args);
  return hex ? sendHexHeader(type, args) : sendBinaryHeader(type, args);
}

void zmodemCancelSequence(bool abortHeader) {
  sendCancel(5);
  if (!abortHeader) return;
  TransferState& s = transferState();
  bool cancelled = s.cancelRequested;
  s.cancelRequested = false;
  sendPositionHeader(ZABORT, 0, true);
  s.cancelRequested = cancelled;
}

void sendAttention() {
  ZmodemState& z = zmodemState();
  // The sender chooses the string and it goes out after every data error: its
  // pauses come to a second in all, and the window's messages are served
  // meanwhile (31 pauses of a second each froze the window for minutes).
  constexpr uint32_t kPausesMax = 1000;
  uint32_t paused = 0;
  for (int i = 0; i < ZATTENTION_MAX && z.attention[i]; ++i) {
    uint8_t b = static_cast<uint8_t>(z.attention[i]);
    if (b == 0xDD || b == 0xDE) {
      // A break only exists on a serial line; the pause happens everywhere.
      uint32_t want = b == 0xDD ? 150 : 1000;
      if (want > kPausesMax - paused) want = kPausesMax - paused;
      paused += want;
      const uint32_t start = clockTicks();
      while (clockTicks() - start < want) {
        if (pumpOne() < 0) return;  // the program is quitting
        clockSleep(10);
      }
      continue;
    }
    sendLineByte(b);
  }
}
