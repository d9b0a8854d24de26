// Modes, graphic rendition and media copy.
#include <algorithm>
#include <cstring>

#include "terminal/colours.h"
#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/screen.h"
#include "terminal/surface.h"
#include "terminal/terminal_type.h"
#include "terminal/vt_handlers.h"

// One mode number, read whole: ?2004 (bracketed paste), ?1049 (alternate
// screen) or ?12 (blinking cursor) must not pass for ?20 or ?1, which every
// current host sends; numbers this terminal does not know do nothing.
static void setOneMode(bool dec, int n, bool on) {
  if (!dec) {
    if (n == 4) emulator.insertMode = on;  // IRM
    return;
  }
  switch (n) {
    case 1: emulator.cursorKeysApplication = on; break;  // DECCKM
    case 3:                                              // DECCOLM, nothing cleared
      screen.columns = on ? 132 : 80;
      terminalHooks.windowSizeChanged(screen.columns, screen.rows);
      break;
    case 7: emulator.autowrap = on; break;     // DECAWM
    case 8: emulator.autoRepeat = on; break;   // DECARM
    case 20: emulator.newLineMode = on; break;  // new-line mode, as this terminal has always taken it
    default: break;
  }
}

// ESC [ Pn;...;Pn h/l and ESC [ ? Pn;...;Pn h/l: each number is one mode; a
// number with anything but digits in it is not a mode.
void setMode(const Sequence& q, bool on) {
  const char* s = q.s;
  if (s[0] != '[') return;
  bool dec = s[1] == '?';
  const char* p = s + (dec ? 2 : 1);
  for (;;) {
    const char* end = p;
    while (*end >= '0' && *end <= '9') ++end;
    if (end != p && (*end == ';' || *end == '\0')) setOneMode(dec, leadingNumber(p), on);
    const char* next = findSemicolon(p);
    if (!next) break;
    p = next + 1;
  }
}

static uint8_t swapNibbles(uint8_t a) { return static_cast<uint8_t>((a << 4) | (a >> 4)); }

uint8_t applyRendition(uint8_t a, int n) {
  switch (n) {
    case 0:
      emulator.reverse = emulator.bold = false;
      return DEFAULT_ATTRIBUTE;
    case 1: case 4: case 5:  // bold, underline and blink all show as bright
      emulator.bold = true;
      return a | 0x80;
    case 7:
      emulator.reverse = true;
      return swapNibbles(a);
    case 8:  // invisible: text in the background colour
      return static_cast<uint8_t>((a & 0x0F) | ((a & 0x0F) << 4));
    case 22: case 24: case 25:
      emulator.bold = false;
      return emulator.reverse ? swapNibbles(DEFAULT_ATTRIBUTE) : DEFAULT_ATTRIBUTE;
    case 27:
      emulator.reverse = false;
      return emulator.bold ? (DEFAULT_ATTRIBUTE | 0x80) : DEFAULT_ATTRIBUTE;
    default:
      break;
  }
  if (n >= 30 && n <= 37) return static_cast<uint8_t>((a & 0x0F) | (((n - 30) | (emulator.bold ? 8 : 0)) << 4));
  if (n >= 40 && n <= 47) return static_cast<uint8_t>((a & 0xF0) | (n - 40));
  return a;
}

// An extended colour (38 or 48 with 5;N or 2;R;G;B) takes the numbers after
// it whole: applied one by one they turned bold on and picked stray colours.
// The colour emulations take the nearest of their 16 colours, the others
// ignore it. args holds the numbers after 38 or 48; returns how many belong to it.
static int extendedColour(uint8_t* a, bool foreground, const int* args, int count) {
  if (count < 1) return 0;
  int r, g, b, used;
  if (args[0] == 5 && count >= 2) {
    colour256(args[1] > 255 ? 255 : args[1], &r, &g, &b);
    used = 2;
  } else if (args[0] == 2 && count >= 4) {
    r = std::min(args[1], 255);
    g = std::min(args[2], 255);
    b = std::min(args[3], 255);
    used = 4;
  } else {
    return count;  // an unknown or cut-short kind: nothing after it can be trusted
  }
  if (!terminalType(emulator.emulation).palette) return used;
  int entry = args[0] == 5 && args[1] < 16 ? args[1] : nearestPaletteEntry(r, g, b);
  if (foreground) {
    if (emulator.bold) entry |= 8;
    *a = static_cast<uint8_t>((*a & 0x0F) | (entry << 4));
  } else {
    *a = static_cast<uint8_t>((*a & 0xF0) | entry);
  }
  return used;
}

// The numbers of a piece in the colon form 38:5:N or 38:2::R:G:B, after the 38.
static int colonArguments(const char* p, int* args, int limit) {
  int n = 0;
  while (*p == ':' && n < limit) {
    ++p;
    args[n++] = leadingNumber(p);
    while (*p >= '0' && *p <= '9') ++p;
  }
  // 38:2:ID:R:G:B names a colour space before the colour.
  if (n == 5 && args[0] == 2) {
    for (int i = 1; i < 4; ++i) args[i] = args[i + 1];
    n = 4;
  }
  return n;
}

// The cell under the cursor takes the new attribute too.
void selectGraphicRendition(const Sequence& q) {
  uint8_t a = screen.attribute;
  if (*q.p == '\0') {
    emulator.bold = false;
    a = DEFAULT_ATTRIBUTE;
  } else {
    // The numbers of the sequence, split at ';' (an empty piece is 0).
    constexpr int MOST = 128;  // a sequence holds at most 255 bytes
    int numbers[MOST];
    const char* pieces[MOST];
    int count = 0;
    for (const char* p = q.p; p && count < MOST; ++count) {
      pieces[count] = p;
      numbers[count] = leadingNumber(p);
      p = findSemicolon(p);
      if (p) ++p;
    }
    for (int i = 0; i < count; ++i) {
      int n = numbers[i];
      const char* rest = pieces[i];
      while (*rest >= '0' && *rest <= '9') ++rest;
      if (n == 38 || n == 48) {
        if (*rest == ':') {
          int args[6];
          extendedColour(&a, n == 38, args, colonArguments(rest, args, 6));
        } else {
          i += extendedColour(&a, n == 38, numbers + i + 1, count - i - 1);
        }
      } else if (*rest != ':') {  // other sub-parameter forms (4:3) are not known here
        a = applyRendition(a, n);
      }
    }
  }
  int cell = cursorCell();
  attributesAt(screen.row)[cell] = a;
  screen.attribute = a;
  // A written cell changes colour on the window too.
  if (cell < lineAt(screen.row).used && cell >= screen.horizontalOffset) {
    uint32_t text, back;
    cellColours(a, emulator.emulation, &text, &back);
    surfaceDrawCell(cellX(cell), cellY(screen.row), lineAt(screen.row).cells[cell], text, back);
  }
}

void mediaCopy(const Sequence& q) {
  bool bracket = q.s[0] == '[';
  if (bracket && !std::strcmp(q.p, "4")) {
    terminalHooks.transparentPrintStop();
  } else if (terminalHooks.transparentPrintSetting()) {
    if (bracket && !std::strcmp(q.p, "5")) terminalHooks.transparentPrintStart();
  } else {
    terminalHooks.transparentPrintStop();
  }
}
