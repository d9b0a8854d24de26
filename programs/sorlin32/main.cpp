// sorlin32: the JPEG viewer. "1" on the command line waits for a feed.
#include <windows.h>

#include "viewer/viewer_window_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  return viewerMain(instance, commandLine, show);
}
