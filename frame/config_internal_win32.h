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

// A control whose field the record lacks is greyed.
void enableForField(HWND dialog, int id, const FieldSpec& field);
