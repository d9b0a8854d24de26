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
