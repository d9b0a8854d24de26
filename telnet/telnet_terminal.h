// Joins the Telnet engine to the terminal's byte path: fills the Telnet hook
// slots and keeps the session values the engine reads in step with the
// terminal (size, local echo, Telnet or Rlogin).
#pragma once

// Fills the terminal's Telnet and window-size slots. The session calls it once
// the connection is up, after setting telnetSession for it.
void telnetAttachTerminal();
// The terminal has a new size: the host hears of it when it asked to.
void telnetTerminalSize(int columns, int rows);
