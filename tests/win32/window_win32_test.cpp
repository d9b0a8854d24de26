// A real window on the Xvfb display, drawn through the GDI surface, and a
// screenshot of it for people to look at.
#include <gtest/gtest.h>
#include <windows.h>

#include "screenshot.h"
#include "terminal/surface.h"
#include "terminal/surface_win32.h"

namespace {
LRESULT CALLBACK testWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

void pumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
}
}  // namespace

TEST(Win32Window, SurfaceDrawsCellsThatTheScreenShows) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = testWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SuiteTestWindow";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  HWND w = CreateWindowA("SuiteTestWindow", "Surface test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400, 200,
                         nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(w, nullptr);
  pumpFor(300);

  HFONT font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
  surfaceAttach(w, font, 8, 16);
  surfaceFill(0, 0, 400, 200);
  const char* text = "Hello, terminal";
  for (int i = 0; text[i]; ++i) surfaceDrawCell(10 + i * 8, 10, static_cast<uint8_t>(text[i]), 0x0000FF00, 0);
  GdiFlush();
  pumpFor(200);

  // The green text must be on the window: read the pixels back.
  HDC dc = GetDC(w);
  int green = 0;
  for (int x = 10; x < 10 + 15 * 8; ++x)
    for (int y = 10; y < 26; ++y)
      if (GetPixel(dc, x, y) == 0x0000FF00) ++green;
  ReleaseDC(w, dc);
  EXPECT_GT(green, 40);
  EXPECT_NE(saveScreenshot("surface_test_window"), "");
  DestroyWindow(w);
}
