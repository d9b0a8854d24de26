#include "tests/viewer/viewer_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/support/peers.h"

std::string viewerTestDir() {
  static std::string dir;
  if (dir.empty()) {
    dir = buildPath("viewer-tests/" + std::to_string(getpid()) + "/");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    atexit([] { std::filesystem::remove_all(viewerTestDir()); });
  }
  return dir;
}

std::string makeJpeg(const std::string& name, int w, int h, const std::string& options) {
  std::string ppm = viewerTestDir() + name + ".ppm", jpg = viewerTestDir() + name + ".jpg";
  FILE* f = fopen(ppm.c_str(), "wb");
  fprintf(f, "P6 %d %d 255\n", w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool disc = (x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < h * h / 9;
      uint8_t px[3] = {static_cast<uint8_t>(x * 255 / w), static_cast<uint8_t>(y * 255 / h),
                       static_cast<uint8_t>(disc ? 230 : ((x ^ y) & 0x3F))};
      fwrite(px, 1, 3, f);
    }
  fclose(f);
  std::string cmd = "cjpeg " + options + " -outfile '" + jpg + "' '" + ppm + "'";
  if (system(cmd.c_str()) != 0) return "";
  return jpg;
}

PaletteBmp readPaletteBmp(const std::string& path) {
  std::vector<uint8_t> d = readBytes(path);
  PaletteBmp p;
  if (d.size() < 54 || d[28] != 8) return p;
  auto u32 = [&](size_t o) { return static_cast<uint32_t>(d[o] | d[o + 1] << 8 | d[o + 2] << 16 | d[o + 3] << 24); };
  size_t bits = u32(10), table = 14 + u32(14);
  p.w = static_cast<int>(u32(18));
  p.h = static_cast<int>(u32(22));
  uint32_t colours = u32(46) ? u32(46) : 256;
  for (uint32_t i = 0; i < colours; ++i)
    p.palette.push_back(d[table + i * 4 + 2] << 16 | d[table + i * 4 + 1] << 8 | d[table + i * 4]);
  size_t stride = (static_cast<size_t>(p.w) + 3) & ~size_t(3);
  if (bits + stride * static_cast<size_t>(p.h) > d.size()) return PaletteBmp{};
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      uint8_t i = d[bits + static_cast<size_t>(p.h - 1 - y) * stride + static_cast<size_t>(x)];
      p.rgb.push_back(i < p.palette.size() ? p.palette[i] : 0xFFFFFFFF);
    }
  return p;
}

PaletteBmp djpegReference(const std::string& jpg) {
  std::string bmp = jpg + ".djpeg.bmp";
  std::string cmd = "djpeg -colors 256 -bmp -outfile '" + bmp + "' '" + jpg + "' 2>/dev/null";
  if (system(cmd.c_str()) == -1) return PaletteBmp{};
  return readPaletteBmp(bmp);
}
