// The session's terminal: the entry's settings applied to the terminal when a
// connection starts.
#pragma once
#include "shell/book_entry.h"

// Program start: the terminal at 80 x 24 with scrollLines lines of ring.
int sessionTerminalStart(int scrollLines);
// Connection start: options, emulation, columns (unless the terminal follows
// the window) and rows from entry; the emulator's connection-start state.
void sessionApplyTerminal(const BookEntry& entry);

