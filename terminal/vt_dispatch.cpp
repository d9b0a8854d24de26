// Interpreting a complete sequence: the final character alone picks the handler.
#include <algorithm>
#include <cstring>

#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/screen.h"
#include "terminal/terminal_type.h"
#include "terminal/vt_handlers.h"

constexpr int NUMBER_LIMIT = 65535;

int leadingNumber(const char* text) {
  int n = 0;
  for (; *text >= '0' && *text <= '9'; ++text) n = std::min(n * 10 + (*text - '0'), NUMBER_LIMIT);
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

// Final characters with a handler: the VT family's list, and the SCO
// variant's, which adds T and S.
struct FinalSet {
  bool vt[256] = {};
  FinalSet() {
    for (const char* c = "ABCDJHfmncZrKhlPLMEsuiFG@Xq"; *c; ++c) vt[static_cast<uint8_t>(*c)] = true;
  }
  bool has(uint8_t b, bool sco) const { return vt[b] || (sco && (b == 'T' || b == 'S')); }
};
static const FinalSet finals;

void dispatchSequence(const uint8_t* text, int length) {
  if (length < 1) return;
  length = std::min(length, SEQUENCE_MAX);
  char final = static_cast<char>(text[length - 1]);
  if (!finals.has(static_cast<uint8_t>(final), emulator.emulation == TERM_SCO_ANSI)) return;
  // Handlers may read s[0..3] whatever the length: pad with NULs.
  char s[SEQUENCE_MAX + 4];
  std::memcpy(s, text, length - 1);
  std::memset(s + length - 1, 0, 5);
  Sequence q{s, length >= 2 ? s + 1 : s + length - 1, length, final};

  switch (final) {
    case 'A': cursorUp(q); break;                   // CUU
    case 'B': cursorDown(q); break;                 // CUD, or G0/G1 back to ASCII
    case 'C': cursorRight(q); break;                // CUF
    case 'D': cursorLeftOrIndex(q); break;          // CUB, or IND alone
    case 'J': eraseInDisplay(q); break;             // ED
    case 'H': case 'f': cursorPosition(q); break;   // CUP, HVP
    case 'm': selectGraphicRendition(q); break;     // SGR
    case 'n': deviceStatusReport(q); break;         // DSR
    case 'c': deviceAttributes(q); break;           // DA
    case 'Z': identify(); break;                    // DECID
    case 'r': setScrollRegion(q); break;            // DECSTBM
    case 'K': eraseInLine(q); break;                // EL
    case 'h': setMode(q, true); break;              // SM
    case 'l': setMode(q, false); break;             // RM
    case 'P': deleteCharacters(q); break;           // DCH
    case 'L': insertLinesAtCursor(q); break;        // IL
    case 'M': deleteLinesOrReverseIndex(q); break;  // DL, or RI alone
    case 'E': nextLine(); break;                    // NEL
    case 's': saveCursorB(); break;                 // save cursor
    case 'u': restoreCursorB(); break;              // restore cursor
    case 'i': mediaCopy(q); break;                  // MC
    case 'F': emulator.eightBitControls = false; break;  // S7C1T
    case 'G': emulator.eightBitControls = true; break;   // S8C1T
    case '@': insertCharacters(q); break;           // ICH
    case 'X': eraseCharacters(q); break;            // ECH
    case 'q': characterProtection(q); break;        // DECSCA
    case 'T': scrollRegionOnWindowDown(); break;    // SCO scroll down
    case 'S': scrollRegionOnWindowUp(); break;      // SCO scroll up
    default: break;
  }
}
