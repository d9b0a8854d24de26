// quenda32: the FTP client.
#include <windows.h>

#include "frame/frame_win32.h"
#include "ftp/ftp_program_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  if (ftpReadCommandLine(commandLine) != 0) return 1;
  return frameMain(instance, commandLine, QUENDA32_PROGRAM);
}
