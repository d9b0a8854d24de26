// A real window on the Xvfb display, drawn through the GDI surface, and a
// screenshot of it for people to look at.
#include <gtest/gtest.h>
#include <windows.h>

#include "screenshot.h"
#include "terminal/surface.h"
#include "terminal/surface_win32.h"
#include "win32_driver.h"

#include <string>

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

#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

// Received bytes go through the real receive path onto a real window: colours,
// a wrapped line and a scrolled region, as a user would see them.
TEST(Win32Window, ReceivedBytesAreDrawnThroughTheTerminal) {
  // The terminal window's background brush is the terminal's background colour.
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SuiteTerminalTest";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RegisterClassA(&wc);
  HWND w = CreateWindowA("SuiteTerminalTest", "Terminal drawing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 700, 460,
                         mainWindow(), nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  pumpUntil([] { return false; }, 300);
  HFONT font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
  HDC dc = GetDC(w);
  SelectObject(dc, font);
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  ReleaseDC(w, dc);
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  terminalOptions.emulation = 2;  // VT100 with ANSI colour
  screen.cellWidth = tm.tmAveCharWidth;
  screen.cellHeight = tm.tmHeight;
  screen.textRight = 80 * tm.tmAveCharWidth;
  surfaceAttach(w, font, tm.tmAveCharWidth, tm.tmHeight);
  surfaceFill(0, 0, 700, 460);

  std::string bytes = "\x1b[1;32mGreen\x1b[0m and plain text\r\n\x1b[44;37m white on blue \x1b[0m\r\n";
  bytes += std::string(100, 'w') + "\r\n";
  bytes += "\x1b[6;8r\x1b[6;1Hone\r\ntwo\r\nthree\r\nfour\x1b[r\x1b[10;1Hregion 6-8 scrolled by one";
  processReceived(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
  GdiFlush();
  pumpUntil([] { return false; }, 200);

  dc = GetDC(w);
  int green = 0, blue = 0;
  for (int x = 0; x < 5 * tm.tmAveCharWidth; ++x)
    for (int y = 0; y < tm.tmHeight; ++y) green += GetPixel(dc, x, y) == 0x0000FF00;
  for (int x = 0; x < 10 * tm.tmAveCharWidth; ++x) blue += GetPixel(dc, x, tm.tmHeight + 2) == 0x007F0000;
  ReleaseDC(w, dc);
  // Font smoothing differs between Wine prefixes: only the glyphs' core pixels
  // are exactly bright green, so a few are enough (any wrong colour gives none).
  EXPECT_GT(green, 10) << "bright green text on row 0";
  EXPECT_GT(blue, 5) << "blue background on row 1";
  EXPECT_NE(saveScreenshot("terminal_drawing"), "");
  DestroyWindow(w);
}
