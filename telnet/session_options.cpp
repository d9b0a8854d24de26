#include "telnet/session_options.h"

#include <algorithm>

#include "terminal/emulator.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

using namespace bookField;

int sessionTerminalStart(int scrollLines) { return terminalReset(24, 80, scrollLines); }

void sessionApplyTerminal(const BookEntry& entry) {
  const uint8_t* r = entry.bytes;
  TerminalOptions& o = terminalOptions;
  o.emulation = bookEmulation(entry);
  o.autowrap = recordInt(r, autowrap) != 0;
  o.keypadApplication = recordInt(r, keypadApplication) != 0;
  o.inboundCrLf = recordInt(r, crInbound) != 0;
  o.outboundCrLf = recordInt(r, crOutbound) != 0;
  o.localEcho = recordInt(r, localEcho) != 0;
  o.stripHighBit = recordInt(r, stripHighBit) != 0;
  o.displayControls = recordInt(r, displayControls) != 0;
  o.telnet = bookProtocol(entry) == 0;
  if (bookResizeMode(entry) != 1) screen.columns = bookTerminalColumns(entry);
  if (screen.rows != bookTerminalRows(entry) && bookResizeMode(entry) != 1) setRows(bookTerminalRows(entry));
  emulatorConnectionStart();
}

TermFit termModeFit(int clientWidth, int clientHeight, int toolbarHeight, int cellWidth, int cellHeight) {
  cellWidth = std::max(cellWidth, 1);
  cellHeight = std::max(cellHeight, 1);
  TermFit f;
  int rows = (clientHeight - toolbarHeight - 32) / cellHeight - 1;
  f.tooLow = rows < 24;
  f.rows = std::clamp(rows, 24, 255);
  f.columns = std::clamp((clientWidth - 16) / cellWidth - 1, 80, 255);
  return f;
}

TermFit sessionFitWindow(int resizeMode, int clientWidth, int clientHeight, int toolbarHeight) {
  if (resizeMode != 1) return TermFit{0, 0, false};
  TermFit f = termModeFit(clientWidth, clientHeight, toolbarHeight, screen.cellWidth, screen.cellHeight);
  // Columns first without a report; the row change then reports both at once.
  screen.columns = f.columns;
  setRows(f.rows);
  return f;
}
