// Small window helpers every program's windows share.
#pragma once
#include <windows.h>

// Registers a top-level window class: arrow cursor, horizontal and vertical
// redraw plus extraStyle, the icon and menu resources named (nullptr for none).
bool registerWindowClass(HINSTANCE instance, const char* className, WNDPROC procedure, const char* icon,
                         const char* menu, HBRUSH background, UINT extraStyle = 0);
// Moves a dialog to the middle of its owner (kept on the screen's top-left).
void centerOverOwner(HWND dialog);
