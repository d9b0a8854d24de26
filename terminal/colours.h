// Colours of the cells: the 16-entry palette of the colour emulations and the
// two-colour scheme (text and background) of the others. RGB as 0x00BBGGRR.
#pragma once
#include <cstdint>

struct TerminalColours {
  uint32_t palette[16];
  uint32_t text;
  uint32_t background;
};

extern TerminalColours terminalColours;
// The palette and scheme every session starts from (text 7, background 0).
extern const uint32_t defaultPalette[16];

constexpr uint32_t rgb(int r, int g, int b) {
  return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}
// Restores the default palette and scheme.
void coloursReset();
// The colour erased areas get: the scheme's background, or in the palette
// emulations the background of the default attribute, so erased rows match
// the cells around them.
uint32_t eraseColour(int emulation);
// Text and background colour of a cell with attribute a under an emulation.
void cellColours(uint8_t a, int emulation, uint32_t* text, uint32_t* back);
// The palette entry nearest to an RGB colour (squared distance), 0..15.
int nearestPaletteEntry(int r, int g, int b);
// The RGB of entry index (0..255) of the 256-colour table hosts use: the
// 16 palette entries, a 6x6x6 cube and a grey ramp.
void colour256(int index, int* r, int* g, int* b);
