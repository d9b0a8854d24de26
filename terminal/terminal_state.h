// Whole-terminal reset, for program start and for tests that need a fresh
// terminal: buffer, emulator, options, hooks, colours and receive state.
#pragma once

// Clears everything and allocates the buffer for capacity lines with the given
// height and width. Returns allocate's result.
int terminalReset(int rows, int columns, int capacity);
