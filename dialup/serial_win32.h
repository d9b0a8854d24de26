// The serial link: a COM port opened for overlapped I/O.
#pragma once

// Opens COMn (1 to 8) at the given speed, 8 data bits, no parity, one stop
// bit, and attaches it as the program's link. Returns 0, or negative on failure.
int serialOpen(int port, unsigned long speed);
