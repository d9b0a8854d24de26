#include "viewer/viewer_image.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "viewer/viewer_text.h"

int imageAllocate(ViewerImage& image, int width, int height) {
  imageFree(image);
  if (width <= 0 || height <= 0) return -1;
  uint64_t rowBytes = (static_cast<uint64_t>(width) + 3) & ~uint64_t(3);
  uint64_t size = rowBytes * static_cast<uint64_t>(height);
  if (size > MAX_BITMAP_BYTES || size > SIZE_MAX) return -1;
  image.bits = static_cast<uint8_t*>(calloc(static_cast<size_t>(size), 1));
  if (!image.bits) return -1;
  image.width = width;
  image.height = height;
  image.rowBytes = static_cast<uint32_t>(rowBytes);
  image.bitsSize = static_cast<size_t>(size);
  image.rowsDone = 0;
  return 0;
}

void imageFree(ViewerImage& image) {
  free(image.bits);
  image = ViewerImage{};
}

uint8_t imageIndex(const ViewerImage& image, int x, int y) {
  if (!image.bits || x < 0 || y < 0 || x >= image.width || y >= image.height) return 0;
  return image.bits[static_cast<size_t>(image.height - 1 - y) * image.rowBytes + static_cast<size_t>(x)];
}

std::string titleName(const std::string& path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool hasJpgMark(const std::string& path) {
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return upper.find(".JPG") != std::string::npos;
}

std::string progressTitle(const std::string& name, int rowsDone, int height) {
  long percent = height > 0 ? (static_cast<long>(rowsDone) + 1) * 100 / height : 100;
  if (percent > 100) percent = 100;
  char text[320];
  snprintf(text, sizeof text, TEXT_PROGRESS, name.substr(0, 255).c_str(), static_cast<int>(percent));
  return text;
}
