// The VT family emulator (VT100, VT102, VT220, VT320, the colour ANSI terminal
// and the SCO console): a sequence is collected byte by byte and dispatched on
// its final character alone.
#pragma once
#include <cstdint>

constexpr int SEQUENCE_MAX = 255;  // bytes held, ESC included; one more for the NUL

struct EmulatorState {
  uint8_t sequence[SEQUENCE_MAX + 1];  // [0] is ESC, then the collected bytes, then NUL
  int count;                           // bytes held, ESC included
  bool inSequence;
  bool inControlString;
  bool controlStringEscape;            // ESC seen inside a control string
  bool g0Graphics, g1Graphics;         // set designated as DEC line drawing
  int activeSet;                       // 0 = G0, 1 = G1
  bool eightBitControls;
  bool keypadApplication;
  bool cursorKeysApplication;
  bool autowrap;
  bool insertMode;
  bool autoRepeat;
  bool newLineMode;
  bool erasable;
  int savedAColumn, savedARow;         // ESC 7 / ESC 8
  int savedBColumn, savedBRow;         // ESC [ s / ESC [ u
  bool bold, reverse;
  int emulation;                       // emulation of the byte being handled
  // VT52, Wyse 50 and IBM 3151: direct cursor addressing armed by ESC Y or
  // ESC =, address bytes taken since and the row the first one gave; it
  // outlives the end of its sequence. IBM 3151 attribute-reset flag (ESC @).
  bool addressMode;
  int addressCount;
  int addressRow;
  bool ibmAttributeReset;
};

extern EmulatorState emulator;

// Program start: every flag off except autoRepeat and autowrap.
void emulatorReset();
// Connection start: character sets, attribute, autowrap and keypad from the
// options, full-screen region, cursor kept on the screen.
void emulatorConnectionStart();

void startSequence();
// Ends the sequence (or control string) in progress without effect.
void endSequence();
// Called for each byte while in a sequence, after it was appended to the buffer.
void collectSequenceByte(uint8_t b);
void collectScoSequenceByte(uint8_t b);
// Called for each byte of a control string, after it was appended.
void controlStringByte(uint8_t b);
// C1 controls 0x84..0x9F under VT220 and VT320.
void eightBitControl(uint8_t b);
// Interprets a complete sequence: text is what follows ESC, length counts the
// bytes up to and including the final character. text is copied before any
// handler runs, so it may point into the sequence buffer.
void dispatchSequence(const uint8_t* text, int length);

// Collectors of the other emulations (their own modules).
void collectVt52Byte(uint8_t b);
void collectWyseByte(uint8_t b);
void collectIbmByte(uint8_t b);
// The emulation changed between two bytes: a sequence half collected under the
// old one and its address mode or attribute-reset flag are dropped.
void emulationSwitched(int emulation);

// Writes a reply to the host.
void sendReply(const char* text);
// Writes a control sequence reply: 0x9B or ESC [ before body.
void sendCsiReply(const char* body, bool eightBit);
