// What the session life cycle shows, step by step: the main window on Win32,
// a recorder on the host.
#pragma once

// The session is up: menus and toolbar online, the clock, the status texts,
// the terminal, display and keyboard after the profile, the capture.
void frameUiOnline();
// The login script of the session, when it has one: 1 when it started (it
// reports its end through frameScriptEnd), 0 when there is none, negative
// when it could not start.
int frameUiLoginScript();
// The session is gone: the record saved, menus and toolbar offline; unless
// startup, the disconnect box and the start-up choice again.
void frameUiOffline(bool startup);
// An attempt ended without a session: the main window usable again.
void frameUiAttemptEnded();
// After a receive pass: the caret follows the cursor.
void frameUiReceived();
