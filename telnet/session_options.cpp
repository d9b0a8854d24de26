#include "telnet/session_options.h"

#include "terminal/colours.h"
#include "terminal/emulator.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

using namespace bookField;

int sessionTerminalStart(int scrollLines) { return terminalReset(24, 80, scrollLines); }

// The entry keeps its text and background colours as palette positions plus
// one, so that a zeroed record means the default scheme.
static void applyColours(const uint8_t* r) {
  coloursReset();
  uint32_t text = recordInt(r, colour1);
  uint32_t background = recordInt(r, colour2);
  if (text >= 1 && text <= 16) terminalColours.text = terminalColours.palette[text - 1];
  if (background >= 1 && background <= 16) terminalColours.background = terminalColours.palette[background - 1];
}

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
  applyColours(r);
  if (bookResizeMode(entry) != 1) screen.columns = bookTerminalColumns(entry);
  if (screen.rows != bookTerminalRows(entry) && bookResizeMode(entry) != 1) setRows(bookTerminalRows(entry));
  emulatorConnectionStart();
}

