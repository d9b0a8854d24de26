// Chat mode in the main window: two panes painted from chat_pane.h, typed
// characters echoed above the line, received ones shown below it.
#pragma once
#include <windows.h>

#include <cstdint>

bool chatOn();
// Turns chat mode on or off in window; the menu item menuId is checked with it.
void chatToggle(HWND window, int menuId);
// The window's messages while chat mode is on: true when handled (painting).
// A typed character is echoed and still goes on to the terminal's key path.
bool chatMessage(HWND window, UINT message, WPARAM wParam);
// Received bytes into the remote pane (and the capture file when it runs).
void chatReceived(HWND window, const uint8_t* bytes, int length, bool eightBit);
