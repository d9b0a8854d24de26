// The terminal display on a real window: the main window hands its messages
// here (or calls the entry points one by one) and gets the terminal painted,
// scrolled, selected, copied, transmitted and searched.
#pragma once
#include <windows.h>

#include "terminal/display.h"

struct DisplayConfig {
  LOGFONTA font;            // the terminal font of the connection settings
  int resizeMode;           // RESIZE_NONE, RESIZE_TERM or RESIZE_FONT
  int toolbarHeight;        // pixels above the text area
  int statusHeight;         // pixels below it (status bars)
  TransmitOptions transmit; // delays and "Strip linefeed when sending"
};

// Makes window the terminal window (the surface draws into it) and applies the
// configuration: font, cell size, caret, scroll ranges. Call again when the
// settings change.
void displayAttach(HWND window, const DisplayConfig& config);
HWND displayWindow();
// The vertical scroll bar over the scrollback (a child control of that window).
HWND displayVerticalBar();
// Pixels below the text area: the horizontal scroll bar and the status bars.
int displayBelowText();
// Creates the terminal font (fitted in Font mode), derives the cell size,
// recreates the caret and resets the horizontal scroll range.
void applyFont(HWND window);
// Handles WM_PAINT, WM_SIZE, WM_VSCROLL, WM_HSCROLL, WM_LBUTTONDOWN,
// WM_MOUSEMOVE, WM_LBUTTONUP, WM_SETFOCUS, WM_KILLFOCUS, WM_KEYDOWN, WM_KEYUP
// and WM_CHAR. True when handled (then *result is the window procedure's result).
bool displayMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT* result);

// The same, one entry point per message.
void paintTerminal(HDC dc, HWND window);
void displaySized(HWND window, int clientWidth, int clientHeight);
void displayVScroll(HWND window, int code, int thumb);
void displayHScroll(HWND window, int code, int thumb);
void displayFocus(HWND window, bool gained);
void displayMouseDown(HWND window, int x, int y);
void displayMouseMove(HWND window, int x, int y, bool buttonDown);
void displayMouseUp(HWND window);
// A double click selects the word under the point (Copy takes it).
void displayDoubleClick(HWND window, int x, int y);
// The mouse wheel moves the view over the scrollback, by the system's lines
// a notch (three unless the user chose otherwise), up for a turn away.
void displayWheel(HWND window, int delta);
void displayKeyDown(HWND window, WPARAM vk, LPARAM flags);
void displayKeyUp(HWND window, WPARAM vk, LPARAM flags);
void displayChar(HWND window, WPARAM ch);
// Puts the caret on the cursor (after a received block).
void displayCaretToCursor();

// Menu commands.
void displaySelectAll(HWND window);      // "Select &All"
void copySelection(HWND window);         // "&Copy\tShift+Del"
void transmitClipboard(HWND window);     // "&Transmit\tShift+Ins"
void displayClearBuffer(HWND window);    // "C&lear Buffer"
// "Find": opens the modeless FIND dialog (or brings it forward); the message
// loop must pass its keys through IsDialogMessage (findDialog()).
HWND openFind(HWND owner);
HWND findDialog();
INT_PTR CALLBACK FindDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM lp);

// The key-map editor ("KEYMAP") and its two sub-dialogs. openKeyMapEditor runs
// the modal editor and reloads the working map of emulation afterwards.
int openKeyMapEditor(HWND owner, int emulation);
INT_PTR CALLBACK KbdDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK KeyFunctionDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK KeycodeDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM lp);
