// The window that message boxes belong to (the main window).
#pragma once
#include <windows.h>

void messageBoxSetOwner(HWND owner);
