// A main window's toolbar: captioned buttons with tooltips over one strip of
// 20 x 20 images from the program's resources. One per program.
#pragma once
#include <windows.h>

struct ToolButton {
  const char* caption;
  int command;
  const char* tooltip;
};

// Creates the toolbar; the bitmap holds one 20 x 20 image per button, in
// order. On failure shows "Failed to create toolbar" and returns nullptr.
HWND toolbarCreate(HWND parent, const char* bitmapName, const ToolButton* buttons, int count);
// Shows the buttons of one set and hides those of the other.
void toolbarSetOnline(bool online, const int* onlineButtons, int onlineCount, const int* offlineButtons,
                      int offlineCount);
void toolbarEnable(int command, bool enabled);
// WM_NOTIFY from the toolbar's tooltips; true when it was answered.
bool toolbarNotify(LPARAM lParam);
void toolbarShow(bool shown);
// Call on every resize of the parent.
void toolbarLayout();
// Height taken from the client area (0 while hidden or missing).
int toolbarHeight();
// Whether the common controls draw the flat style (version 4.71 or later).
bool commonControlsFlat();
