// What the display's Win32 files share among themselves.
#pragma once
#include <windows.h>

#include "terminal/display_win32.h"

extern DisplayConfig displayConfig;
void invertSelectionRows(HDC dc, int first, int last);
void displayScrollView(HWND window, int delta);
void displaySetHorizontalOffset(HWND window, int offset);
