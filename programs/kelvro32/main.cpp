// kelvro32: the dial-up terminal.
#include <windows.h>

#include "dialup/dialup_program_win32.h"
#include "frame/frame_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return frameMain(instance, commandLine, KELVRO32_PROGRAM);
}
