#include "telnet/session_options.h"

#include <algorithm>

#include "shell/config_values.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "terminal/colours.h"
#include "terminal/emulator.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_settings.h"

using namespace bookField;

int sessionTerminalStart(int scrollLines) {
  int r = terminalReset(24, 80, scrollLines);
  if (r == 1) messageBox(TXT_NO_SCROLL_MEMORY, nullptr, MSG_OK | MSG_TASKMODAL);
  if (r < 0) messageBox(TXT_NO_RUN_MEMORY, nullptr, MSG_OK | MSG_ICONSTOP | MSG_TASKMODAL);
  return r;
}

// The entry's text and background colours: palette positions plus one, or
// colours mixed on the colour page; a zeroed record means the default scheme.
static void applyColours(const uint8_t* r) {
  coloursReset();
  TerminalColours& c = terminalColours;
  c.text = colourFromField(recordInt(r, colour1), c.palette, c.text);
  c.background = colourFromField(recordInt(r, colour2), c.palette, c.background);
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
  sessionApplyTransfer(entry);
  applyColours(r);
  if (bookResizeMode(entry) != 1) screen.columns = bookTerminalColumns(entry);
  if (screen.rows != bookTerminalRows(entry) && bookResizeMode(entry) != 1) setRows(bookTerminalRows(entry));
  emulatorConnectionStart();
}

void sessionApplyTransfer(const BookEntry& entry) {
  int protocol = transferSettingsFromBook(entry).protocol;
  terminalOptions.zmodemAutoStart = protocol == PROTOCOL_ZMODEM;
  terminalOptions.asciiProtocol = protocol == PROTOCOL_ASCII;
}

// Room below the text for the status bar and the horizontal scroll bar, and to
// the side for the margin and the vertical bar; one row and one column are
// held back so that a partly hidden cell never counts.
static constexpr int TERM_ROOM_BELOW = 32;
static constexpr int TERM_ROOM_SIDE = 16;
static constexpr int TERM_MIN_ROWS = 24;
static constexpr int TERM_MIN_COLUMNS = 80;

int sessionTermFit(int clientWidth, int clientHeight, int toolbarHeight, int cellWidth, int cellHeight, int* rows,
                   int* columns) {
  cellWidth = std::max(1, cellWidth);
  cellHeight = std::max(1, cellHeight);
  int fitRows = (clientHeight - toolbarHeight - TERM_ROOM_BELOW) / cellHeight - 1;
  int fitColumns = (clientWidth - TERM_ROOM_SIDE) / cellWidth - 1;
  *rows = std::clamp(fitRows, TERM_MIN_ROWS, std::min(255, MAX_ROWS));
  *columns = std::clamp(fitColumns, TERM_MIN_COLUMNS, std::min(255, LINE_CELLS));
  if (fitRows >= TERM_MIN_ROWS) return 0;
  return (TERM_MIN_ROWS + 1) * cellHeight + toolbarHeight + TERM_ROOM_BELOW;
}
