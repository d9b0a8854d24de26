#include "shell/line_settings.h"

namespace {
constexpr unsigned long SPEEDS[LINE_SPEED_COUNT] = {256000, 115200, 57600, 38400, 19200, 14400,
                                                    9600,   4800,   2400,  1200,  600,   300};
int inRange(int value, int last) { return value < 0 ? 0 : value > last ? last : value; }
}  // namespace

unsigned long lineSpeed(int speedIndex) { return SPEEDS[inRange(speedIndex, LINE_SPEED_COUNT - 1)]; }

LineSettings lineSettingsClamped(int portIndex, int speedIndex, int dataBitsIndex, int stopBitsIndex, int parity,
                                 int flowControl) {
  return {inRange(portIndex, 7),     inRange(speedIndex, LINE_SPEED_COUNT - 1), inRange(dataBitsIndex, 1),
          inRange(stopBitsIndex, 2), inRange(parity, 2),                        inRange(flowControl, 3)};
}
