// The session's terminal: the profile's settings applied to the terminal when
// a session starts or its settings change.
#pragma once
#include "shell/session_profile.h"

// Program start: the terminal at 80 x 24 with scrollLines lines of ring.
// Without memory for them, says so and keeps only the screen's lines (1);
// without memory even for those, says so and returns -1: the program ends.
int frameTerminalReset(int scrollLines);
// Session start: options, emulation, colours, columns (unless the terminal
// follows the window) and rows from profile; the emulator's connection-start
// state.
void frameApplyTerminal(const SessionProfile& profile);
// The profile's protocol choice as the receive and send paths need it: "**"
// CAN arms the ZMODEM auto-start only under ZMODEM, CR keeps its LF under ASCII.
void frameApplyTransfer(const SessionProfile& profile);


// "Term" resizing: the rows and columns a client area holds, at least 24 x 80
// and at most what a screen keeps. Returns the client height that shows 24
// rows when the area is lower than that, else 0.
int frameTermFit(int clientWidth, int clientHeight, int toolbarHeight, int cellWidth, int cellHeight, int* rows,
                 int* columns);
