// The terminal window that the surface draws into, with its font's cell size.
#pragma once
#include <windows.h>

void surfaceAttach(HWND window, HFONT font, int cellWidth, int cellHeight);
// On: every received block is drawn by one repaint of the window from the
// buffer when the block ends (the window's paint handler draws the buffer).
void surfaceDeferToPaint(bool on);
