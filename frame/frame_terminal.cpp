#include "frame/frame_terminal.h"

#include <algorithm>

#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "terminal/colours.h"
#include "terminal/emulator.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"
#include "transfer/protocol_table.h"

int frameTerminalReset(int scrollLines) {
  int r = terminalReset(24, 80, scrollLines);
  if (r == 1) messageBox(TXT_NO_SCROLL_MEMORY, nullptr, MSG_OK | MSG_TASKMODAL);
  if (r < 0) messageBox(TXT_NO_RUN_MEMORY, nullptr, MSG_OK | MSG_ICONSTOP | MSG_TASKMODAL);
  return r;
}

void frameApplyTerminal(const SessionProfile& p) {
  TerminalOptions& o = terminalOptions;
  o.emulation = p.emulation;
  o.autowrap = p.autowrap;
  o.keypadApplication = p.keypadApplication;
  o.inboundCrLf = p.inboundCrLf;
  o.outboundCrLf = p.outboundCrLf;
  o.localEcho = p.localEcho;
  o.stripHighBit = p.stripHighBit;
  o.displayControls = p.displayControls;
  o.telnet = p.kind == PROFILE_TELNET && !p.rlogin;
  // Without autowrap the dial-up terminal stops at the last of 132 cells.
  o.noWrapLastCell = p.kind == PROFILE_PHONE ? 131 : 254;
  frameApplyTransfer(p);
  coloursReset();
  terminalColours.text = p.textColour;
  terminalColours.background = p.backgroundColour;
  if (p.resizeMode != 1) screen.columns = p.columns;
  if (screen.rows != p.rows && p.resizeMode != 1) setRows(p.rows);
  emulatorConnectionStart();
}

void frameApplyTransfer(const SessionProfile& p) {
  terminalOptions.zmodemAutoStart = p.transfer.protocol == PROTOCOL_ZMODEM;
  terminalOptions.asciiProtocol = p.transfer.protocol == PROTOCOL_ASCII;
}

// Room below the text for the status bar and the horizontal scroll bar, and to
// the side for the margin and the vertical bar; one row and one column are
// held back so that a partly hidden cell never counts.
static constexpr int TERM_ROOM_BELOW = 32;
static constexpr int TERM_ROOM_SIDE = 16;
static constexpr int TERM_MIN_ROWS = 24;
static constexpr int TERM_MIN_COLUMNS = 80;

int frameTermFit(int clientWidth, int clientHeight, int toolbarHeight, int cellWidth, int cellHeight, int* rows,
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
