// The session's terminal: the entry's settings applied to the terminal when a
// connection starts.
#pragma once
#include "shell/book_entry.h"

// Program start: the terminal at 80 x 24 with scrollLines lines of ring.
// Without memory for them, says so and keeps only the screen's lines (1);
// without memory even for those, says so and returns -1: the program ends.
int sessionTerminalStart(int scrollLines);
// Connection start: options, emulation, columns (unless the terminal follows
// the window) and rows from entry; the emulator's connection-start state.
void sessionApplyTerminal(const BookEntry& entry);
// The entry's protocol choice as the receive and send paths need it: "**" CAN
// arms the ZMODEM auto-start only under ZMODEM, CR keeps its LF under ASCII.
void sessionApplyTransfer(const BookEntry& entry);


// "Term" resizing: the rows and columns a client area holds, at least 24 x 80
// and at most what a screen keeps. Returns the client height that shows 24
// rows when the area is lower than that, else 0.
int sessionTermFit(int clientWidth, int clientHeight, int toolbarHeight, int cellWidth, int cellHeight, int* rows,
                   int* columns);
