#include "terminal/terminal_state.h"

#include "terminal/colours.h"
#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/options.h"
#include "terminal/receive_state.h"
#include "terminal/screen.h"

TerminalOptions terminalOptions;

int terminalReset(int rows, int columns, int capacity) {
  terminalOptions = TerminalOptions{};
  hooksReset();
  coloursReset();
  emulatorReset();
  receiveStateReset();
  screen = ScreenBuffer{};
  screen.rows = rows;
  screen.columns = columns < 1 ? 1 : (columns > 255 ? 255 : columns);
  screen.textRight = screen.columns * screen.cellWidth;
  int result = allocate(capacity);
  emulatorConnectionStart();
  return result;
}
