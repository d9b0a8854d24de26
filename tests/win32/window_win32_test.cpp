// A real window on the Xvfb display, drawn through the GDI surface, and a
// screenshot of it for people to look at.
#include <gtest/gtest.h>
#include <windows.h>

#include "screenshot.h"
#include "terminal/surface.h"
#include "terminal/surface_win32.h"
#include "win32_driver.h"

TEST(Win32Window, SurfaceDrawsCellsThatTheScreenShows) {
  HWND w = CreateWindowA("SuiteTestMain", "Surface test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400, 200,
                         mainWindow(), nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  pumpUntil([] { return false; }, 300);
  surfaceAttach(w, static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT)), 8, 16);
  surfaceFill(0, 0, 400, 200);
  const char* text = "Hello, terminal";
  for (int i = 0; text[i]; ++i) surfaceDrawCell(10 + i * 8, 10, static_cast<uint8_t>(text[i]), 0x0000FF00, 0);
  GdiFlush();
  pumpUntil([] { return false; }, 200);
  // The green text must be on the window: read the pixels back.
  HDC dc = GetDC(w);
  int green = 0;
  for (int x = 10; x < 10 + 15 * 8; ++x)
    for (int y = 10; y < 26; ++y) green += GetPixel(dc, x, y) == 0x0000FF00;
  ReleaseDC(w, dc);
  EXPECT_GT(green, 40);
  EXPECT_NE(saveScreenshot("surface_test_window"), "");
  DestroyWindow(w);
}
