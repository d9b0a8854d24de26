// The session's terminal: the entry's settings applied to the terminal when a
// connection starts, and the terminal fitted to the window after a resize.
#pragma once
#include "shell/book_entry.h"

// Program start: the terminal at 80 x 24 with scrollLines lines of ring.
int sessionTerminalStart(int scrollLines);
// Connection start: options, emulation, columns (unless the terminal follows
// the window) and rows from entry; the emulator's connection-start state.
void sessionApplyTerminal(const BookEntry& entry);

// The terminal size that fills a client area in the "Term" resize mode:
// rows between 24 and 255 (the screen holds at most 99), columns between 80
// and 255. tooLow is set when the area holds fewer than 24 rows, so the
// window must grow to hold them.
struct TermFit {
  int rows, columns;
  bool tooLow;
};
TermFit termModeFit(int clientWidth, int clientHeight, int toolbarHeight, int cellWidth, int cellHeight);
// Applies a resize in the entry's mode: "Term" sets columns and rows and
// reports the size once. Returns the fit applied (rows 0 when none).
TermFit sessionFitWindow(int resizeMode, int clientWidth, int clientHeight, int toolbarHeight);
