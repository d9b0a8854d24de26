// The splash box shown while a main window is created: modal, centred on the
// desktop, closing itself after one second.
#pragma once
#include <windows.h>

void splashShow(HWND owner, const char* title, const char* text);
