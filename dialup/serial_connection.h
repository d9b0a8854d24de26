// The serial line as the frame sees it.
#pragma once
#include "frame/connection.h"
#include "shell/line_settings.h"

extern const FrameConnection SERIAL_CONNECTION;

// The main-window timer that opens a direct session (set to 100 ms).
constexpr int SERIAL_TIMER_DIRECT_OPEN = 3;
constexpr unsigned SERIAL_DIRECT_OPEN_MS = 100;

// "COM%1d:%s,%c,%c,%s": port, speed, data bits, parity, stop bits
// (COM2:9600,8,N,1).
void serialLineText(const LineSettings& line, char* text, int size);
