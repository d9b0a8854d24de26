// The host's serial line: which device stands for each COM port, and the
// drain the watcher's notification runs in the program.
#pragma once

// portIndex 0 to 7 (COM1 to COM8) opens path from now on ("" or nullptr: none).
void serialPosixSetDevice(int portIndex, const char* path);
// The device standing for portIndex ("" when none).
const char* serialPosixDevice(int portIndex);
// Opens the device of portIndex raw and attaches it as the link; a port that
// will not open gets the device error box and -1.
int serialPosixAttach(int portIndex);
// One receive pass over the open port; a lost port hangs up. LINK_LOST then.
int serialPosixDrain();
