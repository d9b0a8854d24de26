// What the dialing shows besides its own texts: link-time functions, the dial
// dialog and the terminal on Win32, a record on the host.
#pragma once
#include "dialup/dial_machine.h"

// Bytes on the terminal (a reply line, the connect line).
void dialShowTerminal(const char* text, int length);
// The dialog's texts changed (title, number, status, countdown, attempt).
void dialShowChanged(const DialMachine& m);
// The run ended (m.end says how): the main window is told.
void dialShowEnded(const DialMachine& m);
