// varnix32: the Telnet and Rlogin terminal.
#include <windows.h>

#include "frame/frame_win32.h"
#include "telnet/telnet_program_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  if (telnetReadCommandLine(commandLine) != 0) return 1;
  return frameMain(instance, commandLine, VARNIX32_PROGRAM);
}
