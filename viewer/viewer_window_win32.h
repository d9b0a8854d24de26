// The viewer program: its one window, started by WinMain.
#pragma once
#include <windows.h>

int viewerMain(HINSTANCE instance, const char* commandLine, int show);
