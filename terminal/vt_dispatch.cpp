// Interpreting a complete sequence: the final character alone picks the handler.
#include <algorithm>
#include <cstring>

#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/screen.h"
#include "terminal/terminal_type.h"
#include "terminal/vt_handlers.h"

constexpr int NUMBER_LIMIT = 65535;

static bool isDigit(char c) { return static_cast<unsigned>(c - '0') < 10; }

int leadingNumber(const char* text) {
  // Four digits cannot pass the limit; only longer numbers saturate.
  int n = 0, k = 0;
  for (; k < 4 && isDigit(text[k]); ++k) n = n * 10 + (text[k] - '0');
  if (k < 4) return n;
  for (text += 4; isDigit(*text); ++text) n = std::min(n * 10 + (*text - '0'), NUMBER_LIMIT);
  return n;
}

int countDefaultOne(const Sequence& q) { return q.length == 2 ? 1 : leadingNumber(q.p); }
int countOrOne(const Sequence& q) { return *q.p ? leadingNumber(q.p) : 1; }

void sendReply(const char* text) {
  linkWrite(reinterpret_cast<const uint8_t*>(text), static_cast<int>(std::strlen(text)));
}

void sendCsiReply(const char* body, bool eightBit) {
  char out[64];
  size_t n = std::strlen(body);
  if (n > sizeof out - 3) n = sizeof out - 3;
  size_t at = 0;
  if (eightBit) {
    out[at++] = static_cast<char>(0x9B);
  } else {
    out[at++] = 0x1B;
    out[at++] = '[';
  }
  std::memcpy(out + at, body, n);
  linkWrite(reinterpret_cast<const uint8_t*>(out), static_cast<int>(at + n));
}

namespace {
void setSevenBitControls(const Sequence&) { emulator.eightBitControls = false; }
void setEightBitControls(const Sequence&) { emulator.eightBitControls = true; }
void identifyTerminal(const Sequence&) { identify(); }
void nextLineSequence(const Sequence&) { nextLine(); }
void saveCursorSequence(const Sequence&) { saveCursorB(); }
void restoreCursorSequence(const Sequence&) { restoreCursorB(); }
void scoScrollDown(const Sequence&) { scrollRegionOnWindowDown(); }
void scoScrollUp(const Sequence&) { scrollRegionOnWindowUp(); }

struct FinalRow {
  char final;
  VtFinal entry;
};
const FinalRow finalRows[] = {
    {'A', {cursorUp, false, false, true}},                   // CUU
    {'B', {cursorDown, false, false, true}},                 // CUD, or G0/G1 back to ASCII
    {'C', {cursorRight, false, false, true}},                // CUF
    {'D', {cursorLeftOrIndex, false, false, true}},          // CUB, or IND alone
    {'J', {eraseInDisplay, false, false, true}},             // ED
    {'H', {cursorPosition, false, true, true}},              // CUP; alone: tab set
    {'f', {cursorPosition, false, false, true}},             // HVP
    {'m', {selectGraphicRendition, false, false, true}},     // SGR
    {'n', {deviceStatusReport, false, false, false}},         // DSR
    {'c', {deviceAttributes, false, false, false}},           // DA
    {'Z', {identifyTerminal, false, false, false}},           // DECID
    {'r', {setScrollRegion, false, false, true}},            // DECSTBM
    {'K', {eraseInLine, false, false, true}},                // EL
    {'h', {[](const Sequence& q) { setMode(q, true); }, false, false, false}},   // SM
    {'l', {[](const Sequence& q) { setMode(q, false); }, false, false, false}},  // RM
    {'P', {deleteCharacters, false, true, true}},            // DCH; alone: device control string
    {'L', {insertLinesAtCursor, false, false, true}},        // IL
    {'M', {deleteLinesOrReverseIndex, false, false, true}},  // DL, or RI alone
    {'E', {nextLineSequence, false, false, true}},           // NEL
    {'s', {saveCursorSequence, false, false, true}},         // save cursor
    {'u', {restoreCursorSequence, false, false, true}},      // restore cursor
    {'i', {mediaCopy, false, false, false}},                  // MC
    {'F', {setSevenBitControls, false, false, true}},        // S7C1T
    {'G', {setEightBitControls, false, false, true}},        // S8C1T
    {'@', {insertCharacters, false, false, true}},           // ICH
    {'X', {eraseCharacters, false, false, true}},            // ECH
    {'q', {characterProtection, false, false, true}},        // DECSCA
    {'}', {nullptr, false, false, true}},                    // ends, nothing to do
    {'~', {nullptr, false, false, true}},                    // ends, nothing to do
    {'T', {scoScrollDown, true, false, true}},               // SCO scroll down
    {'S', {scoScrollUp, true, false, true}},                 // SCO scroll up
};

// Indexed by byte, as the collector asks for every byte of every sequence.
struct FinalIndex {
  const VtFinal* byByte[256] = {};
  FinalIndex() {
    for (const FinalRow& row : finalRows) byByte[static_cast<uint8_t>(row.final)] = &row.entry;
  }
};
const FinalIndex finalIndex;
}  // namespace

const VtFinal* vtFinal(uint8_t b, bool sco) {
  const VtFinal* f = finalIndex.byByte[b];
  return f && (!f->scoOnly || sco) ? f : nullptr;
}

void dispatchSequence(const uint8_t* text, int length) {
  if (length < 1) return;
  length = std::min(length, SEQUENCE_MAX);
  runSequence(vtFinal(text[length - 1], emulator.emulation == TERM_SCO_ANSI), text, length);
}

void runSequence(const VtFinal* f, const uint8_t* text, int length) {
  if (!f || !f->handler) return;
  char final = static_cast<char>(text[length - 1]);
  // Handlers may read s[0..3] whatever the length: pad with NULs.
  char s[SEQUENCE_MAX + 4];
  std::memcpy(s, text, length - 1);
  std::memset(s + length - 1, 0, 5);
  Sequence q{s, length >= 2 ? s + 1 : s + length - 1, length, final};
  f->handler(q);
}
