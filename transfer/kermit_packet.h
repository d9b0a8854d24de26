// Kermit packets on the wire: MARK LEN SEQ TYPE [LENX1 LENX2 HCHECK] data check.
// The writer builds a whole packet in one buffer so it leaves in one write; the
// reader is incremental and keeps its place between calls, so a packet may
// arrive in any number of pieces.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint8_t KERMIT_MARK = 0x01;
// Longest packet this side ever accepts or sends (LEN or LENX).
constexpr int KERMIT_MAX_LENGTH = 9024;
constexpr int KERMIT_SHORT_MAX = 94;
// A built packet: MARK, LEN, SEQ, TYPE, LENX1, LENX2, HCHECK, data, 3 check chars.
constexpr int KERMIT_WIRE_MAX = KERMIT_MAX_LENGTH + 16;

inline uint8_t kermitToChar(int n) { return uint8_t(n + 32); }
inline int kermitUnChar(uint8_t c) { return int(c) - 32; }

// Block check of type 1, 2 or 3 over n characters; writes its characters to
// out and returns how many (the check type's number).
int kermitBlockCheck(int checkType, const uint8_t* text, size_t n, uint8_t* out);

// Builds the packet in out (KERMIT_WIRE_MAX bytes); a data field that does not
// fit in a short packet makes a long one. Returns the packet's length, or -3
// when the data is longer than any packet may be.
int kermitBuildPacket(uint8_t* out, char type, int seq, const uint8_t* data,
                      size_t n, int checkType);

enum class KermitReadState { Mark, Len, Seq, Type, LenX1, LenX2, HeaderCheck, Body };

struct KermitReader {
  KermitReadState state = KermitReadState::Mark;
  // Longest LEN/LENX taken; anything longer is a bad packet. Short packets
  // only (94) until long packets have been agreed.
  int maxLength = KERMIT_SHORT_MAX;
  // Block check of every packet except the send-init, which always uses type 1.
  int checkType = 1;
  size_t noise = 0;   // bytes skipped while looking for a MARK
  size_t want = 0;    // body characters still to come
  size_t count = 0;   // characters collected in text
  uint8_t text[KERMIT_WIRE_MAX];  // LEN through the check, as received
  // The packet just completed.
  char type = 0;
  int seq = 0;
  const uint8_t* data = nullptr;
  size_t dataLength = 0;
};

void kermitReaderReset(KermitReader& r);
// Takes bytes until a packet completes or fails; *used tells how many were
// taken. Returns 0 (need more), 1 (a packet is in type/seq/data),
// -2 (check mismatch) or -3 (impossible length, header or endless noise).
int kermitReaderFeed(KermitReader& r, const uint8_t* bytes, size_t n, size_t* used);
