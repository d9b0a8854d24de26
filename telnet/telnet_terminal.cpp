#include "telnet/telnet_terminal.h"

#include "telnet/telnet_engine.h"
#include "terminal/hooks.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"

namespace {
bool inCommand() { return telnetInCommand(); }

void commandByte(uint8_t b) {
  int data = telnetCommandByte(b);
  if (data < 0) return;
  // A doubled IAC is one data byte 255: the IAC rule of the byte path must
  // not take it for a new command.
  processDataByte(static_cast<uint8_t>(data));
}
}  // namespace

void telnetTerminalSize(int columns, int rows) {
  // The host already has the size it was told: nothing to report.
  if (columns == telnetSession.columns && rows == telnetSession.rows) return;
  telnetSession.columns = columns;
  telnetSession.rows = rows;
  telnetReportWindowSize();
}

void telnetAttachTerminal() {
  terminalHooks.telnetInCommand = inCommand;
  terminalHooks.telnetCommandByte = commandByte;
  terminalHooks.telnetCommandStart = telnetStartCommand;
  terminalHooks.windowSizeChanged = telnetTerminalSize;
  terminalOptions.telnet = !telnetSession.rlogin;
  terminalOptions.localEcho = telnetSession.localEcho;
  telnetSession.columns = screen.columns;
  telnetSession.rows = screen.rows;
}
