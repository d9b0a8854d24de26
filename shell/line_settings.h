// The serial line settings of a session record, as indexes already clamped to
// their ranges: a record file may hold any value, and the file is never
// rewritten for it.
#pragma once

struct LineSettings {
  int portIndex;      // 0 to 7: COM1 to COM8
  int speedIndex;     // 0 to 11: 256000 down to 300 bit/s
  int dataBitsIndex;  // 0: 8 data bits, 1: 7
  int stopBitsIndex;  // 0: 1, 1: 1.5, 2: 2 stop bits
  int parity;         // 0 none, 1 odd, 2 even
  int flowControl;    // 0 none, 1 hardware, 2 Xon/Xoff, 3 both
};

constexpr int LINE_SPEED_COUNT = 12;
// Bits per second of a speed index (clamped).
unsigned long lineSpeed(int speedIndex);
// Every index clamped into its range (speed index 12 is 300 bit/s, port 8 is COM8).
LineSettings lineSettingsClamped(int portIndex, int speedIndex, int dataBitsIndex, int stopBitsIndex, int parity,
                                 int flowControl);
