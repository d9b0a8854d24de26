// The window that message boxes belong to (the main window).
#pragma once
#include <windows.h>

void messageBoxSetOwner(HWND owner);
// The owner now; a modal dialog makes itself the owner while it runs.
HWND messageBoxOwner();
