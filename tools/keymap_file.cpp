// keymap_file OUT: writes the delivered key-map file (the key strings of every
// emulation in both its user and its default block) to OUT.
#include <cstdio>

#include "terminal/keymap.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: keymap_file OUT\n");
    return 2;
  }
  static uint8_t file[KEYMAP_FILE_BYTES];
  defaultKeyMapFile(file);
  FILE* f = std::fopen(argv[1], "wb");
  bool ok = f && std::fwrite(file, 1, sizeof file, f) == sizeof file;
  if (f) ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "keymap_file: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
