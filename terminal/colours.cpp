#include "terminal/colours.h"

#include "terminal/terminal_type.h"

// Background nibble of the default attribute 0x70.
constexpr int DEFAULT_BACKGROUND = 0;

TerminalColours terminalColours;

const uint32_t defaultPalette[16] = {
    rgb(0, 0, 0),       rgb(127, 0, 0),   rgb(0, 127, 0),   rgb(127, 127, 0),
    rgb(0, 0, 127),     rgb(127, 0, 127), rgb(0, 127, 127), rgb(191, 191, 191),
    rgb(127, 127, 127), rgb(255, 0, 0),   rgb(0, 255, 0),   rgb(255, 255, 0),
    rgb(0, 0, 255),     rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 255, 255),
};

void coloursReset() {
  for (int i = 0; i < 16; ++i) terminalColours.palette[i] = defaultPalette[i];
  terminalColours.text = defaultPalette[7];
  terminalColours.background = defaultPalette[0];
}

static struct ColoursInit {
  ColoursInit() { coloursReset(); }
} coloursInit;

// Bright rendering of the text colour: every lit channel at full, black grey.
static uint32_t brighten(uint32_t c) {
  if ((c & 0xFFFFFF) == 0) return rgb(127, 127, 127);
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8)
    if ((c >> shift) & 0xFF) out |= 0xFFu << shift;
  return out;
}

uint32_t eraseColour(int emulation) {
  if (terminalType(emulation).palette) return terminalColours.palette[DEFAULT_BACKGROUND];
  return terminalColours.background;
}

void cellColours(uint8_t a, int emulation, uint32_t* text, uint32_t* back) {
  if (terminalType(emulation).palette) {
    *text = terminalColours.palette[a >> 4];
    *back = terminalColours.palette[a & 0x0F];
    return;
  }
  bool bright = (a >> 4) > 7 || (a & 0x0F) > 7;
  uint32_t fromText = terminalColours.text;
  if (bright) fromText = brighten(fromText);
  if ((a & 0x0F) == 0) {
    *text = fromText;
    *back = terminalColours.background;
  } else {
    *text = terminalColours.background;
    *back = fromText;
  }
}

int nearestPaletteEntry(int r, int g, int b) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < 16; ++i) {
    uint32_t c = terminalColours.palette[i];
    long dr = r - static_cast<int>(c & 0xFF), dg = g - static_cast<int>((c >> 8) & 0xFF),
         db = b - static_cast<int>((c >> 16) & 0xFF);
    long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

void colour256(int index, int* r, int* g, int* b) {
  if (index < 16) {
    uint32_t c = terminalColours.palette[index < 0 ? 0 : index];
    *r = c & 0xFF;
    *g = (c >> 8) & 0xFF;
    *b = (c >> 16) & 0xFF;
  } else if (index < 232) {
    static const int level[6] = {0, 95, 135, 175, 215, 255};
    index -= 16;
    *r = level[index / 36];
    *g = level[(index / 6) % 6];
    *b = level[index % 6];
  } else {
    *r = *g = *b = 8 + 10 * ((index > 255 ? 255 : index) - 232);
  }
}
