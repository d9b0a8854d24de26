#include "telnet/session_options.h"

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

