// The FTP line as the frame sees it: one control connection to a server (or
// to the firewall host that leads to it), logged in when it comes up, with
// the engine's session text written to the frame's plain text view.
#pragma once
#include <cstdint>

#include "frame/connection.h"

extern const FrameConnection FTP_CONNECTION;

// How the next session opens: with the FTP login (Connect) or without it, the
// user logging in by typed commands (the book's Open).
void ftpLineSetLogin(bool login);
// The program directory's firewall script ("pxftp.txt"), set at start-up.
void ftpLineSetFirewallScript(const char* path);
// The engine's hooks that belong to the line: the session text, the end of
// the connection and the entry's saved user and password.
void ftpLineAttachHooks();
// While the session is idle: what the server sends unasked is shown, and a
// server that closed the connection ends the session. Platform forms call it
// on their watch timer.
void ftpLinePoll();
// While the firewall script runs: a password asked for is its $PASS.
bool ftpLineInFirewallScript();
// The platform's half: the watch timer (it ends with the session's timers),
// the typed keys.
void ftpLineWatchStart();
bool ftpLineMessage(unsigned message, uintptr_t wParam, intptr_t lParam);
// The line's modeless window whose keys the message loop routes first (the
// transfer dialog, else the FTP window), 0 when none.
uintptr_t ftpLineModeless();
// Where the line hands its upward steps the program needs (the FTP window
// opened after the login): set by the program, a no-op by default.
void ftpLineSetLoggedIn(void (*loggedIn)());
