#include "terminal/terminal_type.h"

const TerminalType terminalTypes[TERMINAL_TYPE_COUNT] = {
    {TERM_TTY, "TTY", "UNKNOWN", false, false},
    {TERM_ANSI_COLOR, "VT100(Ansi Color)", "ANSI", true, false},
    {TERM_VT52, "VT52", "vt52", false, false},
    {TERM_VT100, "VT100", "vt100", false, false},
    {TERM_VT102, "VT102", "vt102", false, false},
    {TERM_VT220, "VT220", "vt220", false, true},
    {TERM_VT320, "VT320", "vt320", false, true},
    {TERM_WYSE50, "Wyse50", "Wyse50", false, false},
    {TERM_SCO_ANSI, "SCO-ANSI", "ansi", true, false},
    {TERM_IBM3151, "IBM3151", "ibm3151", false, false},
};

const TerminalType& terminalType(int value) {
  if (value < 1 || value > TERMINAL_TYPE_COUNT) return terminalTypes[TERM_VT100 - 1];
  return terminalTypes[value - 1];
}
