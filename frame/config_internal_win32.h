// What the configuration sheet's page procedures share: the working state of
// the one open sheet, the program's hooks, and small control helpers.
#pragma once
#include <windows.h>

#include <string>

#include "frame/config_sheet_win32.h"
#include "shell/config_values.h"

extern ConfigSheetState configState;
extern ConfigEnv configEnv;

std::string itemText(HWND dialog, int id);
void setItemText(HWND dialog, int id, const std::string& text);
bool isChecked(HWND dialog, int id);
void setChecked(HWND dialog, int id, bool on);
void limitText(HWND dialog, int id, int characters);

// The common part of every page's procedure: OK (apply; a refusal keeps the
// sheet open on this page), the Help button and context help on a control.
// apply returns 0 or the text of the refusal it has shown.
INT_PTR configPageMessage(HWND page, UINT message, LPARAM lp, int pageIndex, int (*apply)(HWND page));

INT_PTR CALLBACK ColorDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FontDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK DirDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FirewallDlgFunc(HWND, UINT, WPARAM, LPARAM);
