#include "terminal/plain_view.h"

#include "terminal/colours.h"
#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/screen.h"
#include "terminal/surface.h"

namespace {
// Where a Telnet command stands: none, after IAC, after a verb that takes an option.
enum class Iac { None, Verb, Option };
Iac iac = Iac::None;

int viewColumns() {
  int c = screen.columns < PLAIN_VIEW_COLUMNS ? screen.columns : PLAIN_VIEW_COLUMNS;
  return c > 0 ? c : 1;
}

void newLine() {
  ScreenBuffer& s = screen;
  s.scrollTop = 1;
  s.scrollBottom = s.rows;
  if (s.row >= s.rows - 1) {
    scrollRowsOnWindow(0, s.rows - 1, -1);
    advanceRing();
    clearRow(s.rows - 1);
    s.row = s.rows - 1;
  } else {
    ++s.row;
  }
}

void drawAt(int column, uint8_t ch) {
  uint32_t text, back;
  cellColours(DEFAULT_ATTRIBUTE, emulator.emulation, &text, &back);
  if (column >= screen.horizontalOffset) surfaceDrawCell(cellX(column), cellY(screen.row), ch, text, back);
  ScreenLine& line = lineAt(screen.row);
  line.cells[column] = ch;
  attributesAt(screen.row)[column] = DEFAULT_ATTRIBUTE;
}

void printable(uint8_t ch) {
  // A line longer than the view goes on below: nothing is cut away.
  if (screen.column >= viewColumns()) {
    screen.column = 0;
    newLine();
  }
  int column = screen.column;
  drawAt(column, ch);
  ScreenLine& line = lineAt(screen.row);
  if (line.used < column + 1) line.used = static_cast<int16_t>(column + 1);
  ++screen.column;
  if (terminalHooks.scriptRunning()) terminalHooks.scriptLineMatch(line.cells, screen.column);
}

void control(uint8_t b) {
  switch (b) {
    case '\r': screen.column = 0; break;
    case '\n': newLine(); break;
    case 0x08:  // BS
    case 0x7F:  // DEL
      if (screen.column > 0) {
        if (screen.column > viewColumns()) screen.column = viewColumns();
        --screen.column;
        drawAt(screen.column, ' ');
      }
      break;
    case 0x07: surfaceBeep(); break;
    case '\t': {
      int next = (screen.column / 8 + 1) * 8;
      screen.column = next < viewColumns() ? next : viewColumns() - 1;
      break;
    }
    default: break;  // SO, SI and the rest are not shown
  }
}

void plainByte(uint8_t b) {
  if (terminalHooks.captureOn()) terminalHooks.captureByte(b);
  switch (iac) {
    case Iac::Verb:
      // WILL, WONT, DO and DONT carry an option byte; IAC IAC is a data 0xFF.
      iac = b >= 251 && b <= 254 ? Iac::Option : Iac::None;
      if (b == 0xFF) printable(b);
      return;
    case Iac::Option: iac = Iac::None; return;
    case Iac::None: break;
  }
  if (b == 0xFF) iac = Iac::Verb;
  else if (b < 0x20 || b == 0x7F) control(b);
  else printable(b);
}
}  // namespace

void plainViewReset() { iac = Iac::None; }

void plainViewWrite(const uint8_t* bytes, int length) {
  surfaceShowCaret(false);
  returnToLive();
  for (int i = 0; i < length; ++i) plainByte(bytes[i]);
  moveCaretToCursor();
  surfaceShowCaret(true);
}
