// The decoded picture as the window shows it: an 8-bit palette bitmap with
// bottom-up rows of 4-byte-aligned width, and the names shown in the title.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct ViewerImage {
  int width = 0;
  int height = 0;
  uint32_t rowBytes = 0;
  uint8_t* bits = nullptr;  // zero-filled, row (height - 1 - y) holds picture row y
  size_t bitsSize = 0;
  int colours = 0;
  uint8_t palette[256][3] = {};  // red, green, blue
  int rowsDone = 0;
};

// Larger bitmaps than this are refused: a 32-bit process cannot map them.
constexpr uint64_t MAX_BITMAP_BYTES = uint64_t(1) << 30;

// Allocates the bitmap for width x height; -1 when it is too large or memory
// runs out (the size is computed in 64 bits: 65500 x 65500 overflows 32).
int imageAllocate(ViewerImage& image, int width, int height);
void imageFree(ViewerImage& image);
// Colour index of picture pixel (x, y), counting rows from the top.
uint8_t imageIndex(const ViewerImage& image, int x, int y);

// File name and extension of a path (either slash).
std::string titleName(const std::string& path);
// Whether the upper-cased path contains ".JPG" anywhere.
bool hasJpgMark(const std::string& path);
// "%s %d %% done" for rowsDone of height, at most 100.
std::string progressTitle(const std::string& name, int rowsDone, int height);
