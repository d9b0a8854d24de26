// Pictures for the viewer tests: made by the real cjpeg, read back from the
// real djpeg, in a folder of the test's own under the build folder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/file_text.h"

// A test folder that exists and is empty for this process.
std::string viewerTestDir();
// Writes a w x h picture with gradients and edges as PPM (or PGM) and runs
// cjpeg with options on it; returns the JPEG's path.
std::string makeJpeg(const std::string& name, int w, int h, const std::string& options);
inline std::vector<uint8_t> readBytes(const std::string& path) {
  std::string s = readFile(path);
  return {s.begin(), s.end()};
}
inline void writeBytes(const std::string& path, const std::vector<uint8_t>& data) {
  writeFile(path, std::string(data.begin(), data.end()));
}

// An 8-bit palette BMP as RGB per pixel (rows from the top) and its palette.
struct PaletteBmp {
  int w = 0, h = 0;
  std::vector<uint32_t> rgb;
  std::vector<uint32_t> palette;
};
PaletteBmp readPaletteBmp(const std::string& path);
// djpeg -colors 256 -bmp of a JPEG.
PaletteBmp djpegReference(const std::string& jpg);
