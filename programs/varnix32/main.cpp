// varnix32: the Telnet and Rlogin terminal.
#include <windows.h>

#include "telnet/telnet_program_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return telnetMain(instance, commandLine);
}
