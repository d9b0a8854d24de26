#include <cstdio>

#include "dialup/serial_connection.h"

void serialLineText(const LineSettings& line, char* text, int size) {
  static const char PARITY[] = {'N', 'O', 'E'};
  static const char* const STOP_BITS[] = {"1", "1.5", "2"};
  LineSettings l = lineSettingsClamped(line.portIndex, line.speedIndex, line.dataBitsIndex, line.stopBitsIndex,
                                       line.parity, line.flowControl);
  snprintf(text, static_cast<size_t>(size), "COM%1d:%lu,%c,%c,%s", l.portIndex + 1, lineSpeed(l.speedIndex),
           l.dataBitsIndex == 0 ? '8' : '7', PARITY[l.parity], STOP_BITS[l.stopBitsIndex]);
}
