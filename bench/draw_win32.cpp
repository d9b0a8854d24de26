// draw_win32 FILE: plays FILE through the receive path onto a real terminal
// window: the link hands out what FILE holds, and receive passes run with the
// window's messages handled between them, as the program's loop does; prints
// "MB/s" for the run.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "terminal/display_damage.h"
#include "terminal/display_win32.h"
#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/terminal_state.h"

static LRESULT CALLBACK terminalProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  LRESULT r;
  if (displayMessage(w, m, wp, lp, &r)) return r;
  return DefWindowProcA(w, m, wp, lp);
}

static std::string bytes;
static size_t at = 0;

// The link as a socket holding the rest of FILE: a read takes what is left.
static int fileRead(uint8_t* buffer, int count) {
  size_t n = bytes.size() - at < static_cast<size_t>(count) ? bytes.size() - at : static_cast<size_t>(count);
  std::memcpy(buffer, bytes.data() + at, n);
  at += n;
  return static_cast<int>(n);
}
static int fileWrite(const uint8_t*, int) { return 0; }
static LinkOps fileOps = {fileRead, fileWrite, nullptr, nullptr, nullptr, nullptr, nullptr, true, nullptr};

static void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_win32 FILE\n");
    return 2;
  }
  if (FILE* f = std::fopen(argv[1], "rb")) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
  }
  if (bytes.empty()) {
    std::fprintf(stderr, "draw_win32: cannot read %s\n", argv[1]);
    return 1;
  }
  terminalReset(24, 80, 1000);
  terminalOptions.emulation = 2;  // the colour terminal, as xterm shows colours
  emulatorConnectionStart();
  receiveEightBit = true;
  WNDCLASSA wc{};
  wc.lpfnWndProc = terminalProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "DrawBench";
  RegisterClassA(&wc);
  HWND w = CreateWindowA("DrawBench", "draw", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 700, 460,
                         nullptr, nullptr, wc.hInstance, nullptr);
  DisplayConfig config{};
  config.font.lfHeight = 16;
  config.font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpyA(config.font.lfFaceName, "Courier New");
  displayAttach(w, config);
  pump();
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  linkAttach(&fileOps);
  while (at < bytes.size()) {
    receiveAvailable();
    pump();
  }
  // The last changes are shown when the window's short show interval ends.
  while (damagePending()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    pump();
  }
  UpdateWindow(w);
  GdiFlush();
  QueryPerformanceCounter(&end);
  double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  std::printf("%.4f\n", bytes.size() / 1048576.0 / seconds);
  DestroyWindow(w);
  return 0;
}
