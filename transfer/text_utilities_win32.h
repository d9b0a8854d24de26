// The Utilities menu commands of the terminal programs: each asks for its
// files (the batch list, or the "Open File" dialog for uuencode), runs the
// utility and shows the outcome's message. The main window calls them from
// its WM_COMMAND handler, with itself as owner.
#pragma once
#include <windows.h>

void utilityUnixToDos(HWND owner);   // "&Unix-DOS convert"
void utilityDosToUnix(HWND owner);   // "D&OS-Unix convert"
void utilityUuencode(HWND owner);    // "uu&encode"
void utilityUudecode(HWND owner);    // "uu&decode"
