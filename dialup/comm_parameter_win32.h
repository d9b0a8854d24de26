// The "Communication Parameter" dialog (resource "databit"): shows the entry's
// data bits, parity and stop bits; OK applies them to the open port.
#pragma once
#include <windows.h>

#include "shell/line_settings.h"

// Runs the dialog modally over owner. Returns IDOK when OK applied the format
// to the open port (nothing when none is open), IDCANCEL when cancelled,
// negative when the dialog could not be made.
int commParameterDialog(HWND owner, const LineSettings& line);
INT_PTR CALLBACK CommParameterDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
