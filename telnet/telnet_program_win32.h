// The Telnet program: its description for the frame, and its own dialogs.
#pragma once
#include <windows.h>

#include "frame/frame_win32.h"

extern const FrameProgram VARNIX32_PROGRAM;

// Reads the command line ("HOST [PORT]"); a line the program cannot take is
// refused with its message box. Returns 0, or -1 when the program must end.
int telnetReadCommandLine(const char* line);

// The "Send telnet command" dialog.
void telnetCommandDialog(HWND owner);
