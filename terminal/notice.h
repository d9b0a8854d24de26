// What capture and printing tell the user: a message box, a yes/no question,
// and the check marks of their menu items. One implementation per platform;
// the host one records for tests.
#pragma once

// Shows text with the given title ("Message", "Error").
void noticeShow(const char* text, const char* title);
// Asks a Yes/No question titled "Message"; true for Yes.
bool noticeAskYes(const char* text);
// Capture or transparent printing was switched on or off: the menu follows
// (the main window's frame owns the menu and these two on Win32).
void noticeCaptureChanged(bool on);
void noticeTransparentChanged(bool on);
