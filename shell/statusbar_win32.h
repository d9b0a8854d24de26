// The four-part status bar of a main window and the menu hints in its first
// part. One per program.
#pragma once
#include <windows.h>

constexpr int STATUS_BAR_ID = 20;

// Creates the bar (id 20) with four parts; nullptr on failure.
HWND statusBarCreate(HWND parent);
// The first three parts end at the given percentages of the width, the last
// at the edge; call on every resize.
constexpr int STATUS_QUARTERS[3] = {25, 50, 75};
void statusBarLayout(int clientWidth, const int percent[3] = STATUS_QUARTERS);
void statusBarText(int part, const char* text);
void statusBarShow(bool shown);
// Height taken from the client area (0 while hidden or missing).
int statusBarHeight();

// WM_MENUSELECT: the highlighted entry's hint in part 0, cleared when the
// menu closes. Hints are the string-table texts numbered like the commands.
void menuHintSelect(WPARAM wParam, LPARAM lParam);
// The hint of a command or system-menu entry ("" when it has none).
const char* menuHint(int command, bool systemMenu);
