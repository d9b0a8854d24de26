// The emulations, numbered as the connection settings store them.
#pragma once

enum TerminalTypeValue {
  TERM_TTY = 1,
  TERM_ANSI_COLOR = 2,
  TERM_VT52 = 3,
  TERM_VT100 = 4,
  TERM_VT102 = 5,
  TERM_VT220 = 6,
  TERM_VT320 = 7,
  TERM_WYSE50 = 8,
  TERM_SCO_ANSI = 9,
  TERM_IBM3151 = 10,
};

struct TerminalType {
  int value;
  const char* name;        // as listed on the settings page
  const char* terminalId;  // default "Terminal ID" announced to the host
  bool palette;            // attribute nibbles index the 16-colour palette
  bool eightBitControls;   // C1 bytes 0x84..0x9F are controls
};

constexpr int TERMINAL_TYPE_COUNT = 10;
extern const TerminalType terminalTypes[TERMINAL_TYPE_COUNT];

// The entry of an emulation value; an unknown value gives VT100's.
const TerminalType& terminalType(int value);
// The VT family interpreter of this module (emulations 2, 4..7) or its SCO variant (9).
inline bool isVtFamily(int e) { return e == TERM_ANSI_COLOR || (e >= TERM_VT100 && e <= TERM_VT320); }
inline bool acceptsEightBitControls(int e) { return e == TERM_VT220 || e == TERM_VT320; }
