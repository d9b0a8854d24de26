// Sequence state of the VT52, Wyse 50 and IBM 3151 emulations: direct cursor
// addressing, which outlives the sequence that armed it, the hand-over of a
// complete sequence to an interpreter, and what a change of emulation drops.
#include <algorithm>
#include <cstring>

#include "terminal/emulator.h"
#include "terminal/other_emulations.h"
#include "terminal/screen.h"

void armAddressMode() {
  emulator.addressMode = true;
  emulator.addressCount = 0;
}

bool takeAddressByte(uint8_t b) {
  if (!emulator.addressMode) return false;
  // An unsigned byte: codes 0x80 and up are far outside the screen and are
  // clamped like any other.
  int code = b - 0x20;
  if (emulator.addressCount == 0) {
    emulator.addressRow = code;
    emulator.addressCount = 1;
    return true;
  }
  emulator.addressMode = false;
  emulator.addressCount = 0;
  endSequence();
  screen.row = std::clamp(emulator.addressRow, 0, screen.rows - 1);
  screen.column = std::clamp(code, 0, screen.columns - 1);
  moveCaretToCursor();
  return true;
}

void finishAndInterpret(void (*interpret)(const uint8_t* text, int length)) {
  uint8_t text[SEQUENCE_MAX + 1];
  int length = std::clamp(emulator.count - 1, 0, SEQUENCE_MAX);
  std::memcpy(text, emulator.sequence + 1, length);
  endSequence();
  interpret(text, length);
}

void emulationSwitched(int emulation) {
  endSequence();
  emulator.addressMode = false;
  emulator.addressCount = 0;
  emulator.ibmAttributeReset = false;
  emulator.emulation = emulation;
}
