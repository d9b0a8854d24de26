// The terminal window that the surface draws into, with its font's cell size.
#pragma once
#include <windows.h>

void surfaceAttach(HWND window, HFONT font, int cellWidth, int cellHeight);
// A new caret was made and shown (it starts where the display put it).
void surfaceCaretMade();
