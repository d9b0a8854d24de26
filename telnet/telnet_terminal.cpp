#include "telnet/telnet_terminal.h"

#include "telnet/session_hooks.h"
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
  // A doubled IAC is one data byte 255: it goes through the byte path as data,
  // so the IAC rule of that path must not take it for a new command.
  const uint8_t byte = static_cast<uint8_t>(data);
  terminalOptions.telnet = false;
  if (terminalOptions.displayControls) processControlsVisible(&byte, 1);
  else processReceived(&byte, 1);
  terminalOptions.telnet = !telnetSession.rlogin;
}

void sizeChanged(int columns, int rows) {
  telnetSession.columns = columns;
  telnetSession.rows = rows;
  telnetReportWindowSize();
}

void localEchoChanged(bool on) { terminalOptions.localEcho = on; }
}  // namespace

void telnetAttachTerminal() {
  terminalHooks.telnetInCommand = inCommand;
  terminalHooks.telnetCommandByte = commandByte;
  terminalHooks.telnetCommandStart = telnetStartCommand;
  terminalHooks.windowSizeChanged = sizeChanged;
  sessionHooks.localEchoChanged = localEchoChanged;
  terminalOptions.telnet = !telnetSession.rlogin;
  terminalOptions.localEcho = telnetSession.localEcho;
  telnetSession.columns = screen.columns;
  telnetSession.rows = screen.rows;
}
