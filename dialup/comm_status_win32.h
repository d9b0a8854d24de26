// The "Communication Status" dialog over the session's port.
#pragma once
#include <windows.h>

void commStatusDialog(HWND owner);
