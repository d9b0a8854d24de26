// The Telnet program's book and Quick Connect: the shared dialogs over
// BookEntry files, connecting when the user chose a host.
#pragma once
#include <windows.h>

// File > Telnetbook: connects to the entry chosen, if any.
void telnetBookCommand(HWND owner);
// File > Quick Connect: saves the typed host's entry and connects to it.
void telnetQuickConnectCommand(HWND owner);
