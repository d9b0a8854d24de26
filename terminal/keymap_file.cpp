// The key-map file: two blocks of 86 slots per emulation, raw bytes.
#include <cstdio>
#include <cstring>

#include "terminal/keymap.h"

static long blockOffset(int emulation, bool defaults) {
  return static_cast<long>(emulation - 1) * 2 * KEYMAP_BLOCK_BYTES + (defaults ? KEYMAP_BLOCK_BYTES : 0);
}

int readKeyMapBlock(const char* path, int emulation, bool defaults, KeyMap* map) {
  std::memset(map, 0, sizeof *map);
  if (!path || emulation < 1 || emulation > KEYMAP_BLOCKS / 2) return -1;
  FILE* f = std::fopen(path, "rb");
  if (!f) return -1;
  bool ok = std::fseek(f, blockOffset(emulation, defaults), SEEK_SET) == 0 &&
            std::fread(map->slots, 1, KEYMAP_BLOCK_BYTES, f) == static_cast<size_t>(KEYMAP_BLOCK_BYTES);
  std::fclose(f);
  // A short block is damaged as a whole: better no strings than half of them.
  if (!ok) {
    std::memset(map, 0, sizeof *map);
    return -1;
  }
  // A slot without its NUL would run on into the next one.
  for (auto& slot : map->slots) slot[KEYMAP_SLOT_BYTES - 1] = 0;
  return 0;
}

int createKeyMapFile(const char* path) {
  if (!path) return -1;
  if (FILE* f = std::fopen(path, "rb")) {
    std::fclose(f);
    return 0;
  }
  FILE* f = std::fopen(path, "wb");
  if (!f) return -1;
  static const uint8_t zeros[KEYMAP_BLOCK_BYTES] = {};
  bool ok = true;
  for (int i = 0; i < KEYMAP_BLOCKS; ++i) ok = ok && std::fwrite(zeros, 1, sizeof zeros, f) == sizeof zeros;
  ok = std::fclose(f) == 0 && ok;
  return ok ? 0 : -1;
}

int writeKeyMapBlock(const char* path, int emulation, const KeyMap& map) {
  if (!path || emulation < 1 || emulation > KEYMAP_BLOCKS / 2) return -1;
  if (createKeyMapFile(path) < 0) return -1;
  FILE* f = std::fopen(path, "r+b");
  if (!f) return -1;
  KeyMap out = map;
  for (auto& slot : out.slots) slot[KEYMAP_SLOT_BYTES - 1] = 0;
  // A file cut short is first padded up to the block, so the offsets hold.
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  long offset = blockOffset(emulation, false);
  bool ok = true;
  for (; ok && size < offset; ++size) ok = std::fputc(0, f) != EOF;
  ok = ok && std::fseek(f, offset, SEEK_SET) == 0 &&
       std::fwrite(out.slots, 1, KEYMAP_BLOCK_BYTES, f) == static_cast<size_t>(KEYMAP_BLOCK_BYTES);
  ok = std::fclose(f) == 0 && ok;
  return ok ? 0 : -1;
}

void loadKeyMap(int emulation) { readKeyMapBlock(keyboard.mapPath, emulation, false, &keyboard.map); }
