// The terminal's screen as text for tests on both builds: every row's used
// cells followed by '\n'. Header-only, so the Win32 tests can use it too.
#pragma once
#include <string>

#include "terminal/screen.h"

inline std::string screenText() {
  std::string all;
  for (int r = 0; r < screen.rows; ++r) {
    const ScreenLine& line = lineAt(r);
    all.append(reinterpret_cast<const char*>(line.cells), static_cast<size_t>(line.used));
    all += '\n';
  }
  return all;
}
