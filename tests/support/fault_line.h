// An in-memory line with two ends for running a sender and a receiver of ours
// in one process, on the manual clock. Each direction drops, flips,
// duplicates and stalls bytes as its plan says, reproducibly from a seed.
#pragma once
#include <cstdint>
#include <vector>

struct FaultPlan {
  uint32_t seed = 1;
  int dropPerMillion = 0;       // chance per byte, in millionths
  int flipPerMillion = 0;       // one bit of the byte inverted
  int duplicatePerMillion = 0;  // the byte arrives twice
  int stallPerMillion = 0;      // the line stops for stallMs before this byte
  uint32_t stallMs = 0;
  uint32_t delayMs = 0;         // every byte arrives this much later
  uint32_t bytesPerSecond = 0;  // a write returns when the line took it (0: at once)
  // Faults start only after this many bytes passed (a clean opening).
  uint32_t cleanBytes = 0;
  // After this many bytes have passed the line is cut (0 = never).
  uint32_t cutAfterBytes = 0;
};

// Empties both directions. End 0 writes into direction 0 (read by end 1), and
// the reverse.
void faultLineReset(const FaultPlan& fromEnd0, const FaultPlan& fromEnd1);
// Attaches end 0 or 1 as the program's link (a socket-like link).
void faultLineAttach(int end);
// Everything end wrote, before any fault.
const std::vector<uint8_t>& faultLineWritten(int end);
// The longest single write end made.
int faultLineLongestWrite(int end);
// Puts bytes on the line as if end had written them (a hostile peer).
void faultLineInject(int end, const uint8_t* bytes, int length);
// Cuts the line: both ends then see LINK_LOST.
void faultLineCut();
