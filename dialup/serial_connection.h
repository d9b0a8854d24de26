// The serial line as the frame sees it.
#pragma once
#include <string>
#include <vector>

#include "frame/connection.h"
#include "shell/line_settings.h"

extern const FrameConnection SERIAL_CONNECTION;

// The main-window timer that opens a direct session (set to 100 ms).
constexpr int SERIAL_TIMER_DIRECT_OPEN = 3;
constexpr unsigned SERIAL_DIRECT_OPEN_MS = 100;

// What the next dial of a modem entry takes: sequential dialing's list of
// entry names (empty: the entry alone) and whether the entry's script runs
// once connected.
void serialDialNext(const std::vector<std::string>& list, bool runScript);

// "COM%1d:%s,%c,%c,%s": port, speed, data bits, parity, stop bits
// (COM2:9600,8,N,1).
void serialLineText(const LineSettings& line, char* text, int size);
