// The modeless dialog whose keys the pump routes first (nullptr for none).
#pragma once
#include <windows.h>

void pumpSetDialog(HWND dialog);
