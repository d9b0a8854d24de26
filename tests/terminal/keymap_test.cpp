// Keys to bytes through the key map and the send rules, the editor notation,
// and the key-map file, driven through the link the bytes leave by.
#include <cstdio>
#include <fstream>
#include <filesystem>
#include <iterator>

#include "terminal/keymap.h"
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

struct KeyCase {
  const char* name;
  int emulation;
  int vk;              // pressed key (0: none)
  int typed;           // character message after it (-1: none)
  bool shift, cursorApp, keypadApp, eightBit, newLine, bsDel, shiftCommands, keypadEnter;
  std::string expected;
};

void press(const KeyCase& c) {
  reset(c.emulation);
  defaultKeyMap(c.emulation, &keyboard.map);
  keyboard.backspaceDelete = c.bsDel;
  keyboard.shiftCommandKeys = c.shiftCommands;
  keyboard.rlogin = keyboard.rloginRaw = false;
  emulator.cursorKeysApplication = c.cursorApp;
  emulator.keypadApplication = c.keypadApp;
  emulator.eightBitControls = c.eightBit;
  emulator.newLineMode = c.newLine;
  keyboard.shift = false;
  if (c.shift) keyPressed(0x10, false);
  if (c.vk) {
    keyPressed(c.vk, c.keypadEnter);
    keyToHost(c.vk);
  }
  if (c.typed >= 0) typedCharacter(static_cast<uint8_t>(c.typed));
  if (c.shift) keyReleased(0x10);
}

TEST(KeyToHost, EmulationsModesAndSendRules) {
  const KeyCase cases[] = {
      // name                      emu vk    typed  sh  cur  kpd  8bit nl   bsdel shcmd kpEnt expected
      {"up plain", 4, 0x26, -1, false, false, false, false, false, false, false, false, E + "[A"},
      {"up cursor app", 4, 0x26, -1, false, true, false, false, false, false, false, false, E + "OA"},
      {"up cursor app 8-bit", 6, 0x26, -1, false, true, false, true, false, false, false, false, "\x8f" "A"},
      {"F5 8-bit", 6, 0x74, -1, false, false, false, true, false, false, false, false, "\x9b" "15~"},
      {"home no app rule", 4, 0x24, -1, false, true, false, false, false, false, false, false, E + "[1~"},
      {"keypad 5 numeric", 4, 0x65, '5', false, false, false, false, false, false, false, false, "5"},
      {"keypad 5 application", 4, 0x65, '5', false, false, true, false, false, false, false, false, E + "Ou"},
      {"keypad enter application", 4, 0x0D, '\r', false, false, true, false, false, false, false, true, E + "OM"},
      {"main enter application", 4, 0x0D, '\r', false, false, true, false, false, false, false, false, "\r"},
      {"arrow char dropped", 4, 0x25, 'x', false, false, false, false, false, false, false, false, E + "[D"},
      {"F1", 4, 0x70, -1, false, false, false, false, false, false, false, false, E + "OP"},
      {"shift F1", 4, 0x70, -1, true, false, false, false, false, false, false, false, E + "[23~"},
      {"F13", 4, 0x7C, -1, false, false, false, false, false, false, false, false, E + "[25~"},
      {"0x2F nothing", 4, 0x2F, -1, false, false, false, false, false, false, false, false, ""},
      {"delete", 4, 0x2E, -1, false, false, false, false, false, false, false, false, "\x7f"},
      {"delete swapped", 4, 0x2E, -1, false, false, false, false, false, true, false, false, "\b"},
      {"backspace swapped", 4, 0x08, '\b', false, false, false, false, false, true, false, false, "\x7f"},
      {"shift insert is paste", 4, 0x2D, -1, true, false, false, false, false, false, true, false, ""},
      {"shift delete is copy", 4, 0x2E, -1, true, false, false, false, false, false, true, false, ""},
      {"shift insert dial-up", 4, 0x2D, -1, true, false, false, false, false, false, false, false, E + "[2~"},
      {"new-line mode", 4, 0x0D, '\r', false, false, false, false, true, false, false, false, "\r\n"},
      {"vt52 up", 3, 0x26, -1, false, true, false, false, false, false, false, false, E + "A"},
      {"wyse up", 8, 0x26, -1, false, false, false, false, false, false, false, false, "\x0b"},
      {"wyse F1", 8, 0x70, -1, false, false, false, false, false, false, false, false, "\x01@\r"},
      {"ibm shift F2", 10, 0x71, -1, true, false, false, false, false, false, false, false, E + "!b\r"},
      {"sco F1", 9, 0x70, -1, false, false, false, false, false, false, false, false, E + "[M"},
  };
  for (const KeyCase& c : cases) {
    press(c);
    EXPECT_EQ(wire.replies, c.expected) << c.name;
  }
}

TEST(SendKeyString, EchoRloginAndNoConnection) {
  reset(4);
  terminalOptions.localEcho = true;
  emulator.eightBitControls = true;
  // With local echo an ESC string takes the echoing path and still gets 0x9B.
  sendKeyString(reinterpret_cast<const uint8_t*>("\033[C"), 3);
  EXPECT_EQ(wire.replies, "\x9b" "C");

  reset(4);
  keyboard.rlogin = true;
  keyboard.rloginRaw = false;
  typedCharacter(0x11);
  typedCharacter(0x13);
  typedCharacter('a');
  EXPECT_EQ(wire.replies, "a");
  keyboard.rloginRaw = true;
  typedCharacter(0x13);
  EXPECT_EQ(wire.replies, "a\x13");
  keyboard.rlogin = keyboard.rloginRaw = false;

  linkAttach(nullptr);
  EXPECT_LT(sendKeyString(reinterpret_cast<const uint8_t*>("x"), 1), 0);
}

TEST(KeyNotation, ParsesAndRejects) {
  uint8_t out[KEYMAP_SLOT_BYTES];
  EXPECT_EQ(keyTextToBytes("^[[11~", out), 5);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 5), E + "[11~");
  EXPECT_EQ(keyTextToBytes("\\1b\\4F\\50", out), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), E + "OP");
  EXPECT_EQ(keyTextToBytes("\\1g", out), -1);
  EXPECT_EQ(keyTextToBytes("ab\\", out), -1);
  // Cut to 15 bytes, but a bad escape past the cut is still refused.
  EXPECT_EQ(keyTextToBytes("0123456789abcdefghij", out), 15);
  EXPECT_EQ(out[15], 0);
  EXPECT_EQ(keyTextToBytes("0123456789abcdefgh\\zz", out), -1);
}

TEST(KeyNotation, EveryByteSurvivesShowAndRead) {
  for (int b = 1; b < 256; ++b) {
    uint8_t in[3] = {static_cast<uint8_t>(b), 'x', static_cast<uint8_t>(b)};
    char text[64];
    keyBytesToText(in, 3, text, sizeof text);
    uint8_t out[KEYMAP_SLOT_BYTES];
    ASSERT_EQ(keyTextToBytes(text, out), 3) << b << " shown as " << text;
    EXPECT_EQ(std::memcmp(in, out, 3), 0) << b << " shown as " << text;
  }
  char text[64];
  uint8_t mixed[] = {0x1b, '^', '\\', 0x7f, 0xe9, 'A'};
  keyBytesToText(mixed, 6, text, sizeof text);
  EXPECT_STREQ(text, "^[\\5e\\5c\\7f\\e9A");
}

std::string tempPath(const char* name) { return std::string(::testing::TempDir()) + name; }

TEST(KeyMapFile, WriteReadCreateAndDamage) {
  std::string path = tempPath("keys_test.kbd");
  std::remove(path.c_str());
  KeyMap map;
  // A missing file gives an empty map; typed characters still go out.
  std::snprintf(keyboard.mapPath, sizeof keyboard.mapPath, "%s", path.c_str());
  reset(4);
  loadKeyMap(4);
  keyToHost(0x26);
  typedCharacter('q');
  EXPECT_EQ(wire.replies, "q");

  // Written blocks come back from their own offsets; the rest of the file stays zero.
  KeyMap vt;
  defaultKeyMap(4, &vt);
  ASSERT_EQ(writeKeyMapBlock(path.c_str(), 4, vt), 0);
  std::ifstream f(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), static_cast<size_t>(KEYMAP_FILE_BYTES));
  EXPECT_EQ(bytes.substr(3 * 2752 + 5 * 16, 4), std::string("\033[A\0", 4));
  ASSERT_EQ(readKeyMapBlock(path.c_str(), 4, false, &map), 0);
  EXPECT_EQ(std::memcmp(&map, &vt, sizeof map), 0);
  ASSERT_EQ(readKeyMapBlock(path.c_str(), 4, true, &map), 0);
  EXPECT_EQ(slotLength(map, 5), 0);

  // A slot without its NUL stops at 15 bytes instead of running into the next.
  {
    std::fstream g(path, std::ios::binary | std::ios::in | std::ios::out);
    g.seekp(0);
    g << std::string(16, 'A') << "B";
  }
  ASSERT_EQ(readKeyMapBlock(path.c_str(), 1, false, &map), 0);
  EXPECT_EQ(slotLength(map, 0), 15);
  EXPECT_EQ(map.slots[1][0], 'B');

  // A file cut short: the block it cannot give is empty, earlier blocks read.
  std::filesystem::resize_file(path, 2752 * 3 + 100);
  EXPECT_EQ(readKeyMapBlock(path.c_str(), 4, false, &map), -1);
  EXPECT_EQ(slotLength(map, 5), 0);
  EXPECT_EQ(readKeyMapBlock(path.c_str(), 1, false, &map), 0);
  // Writing a block past the end pads the file so the offsets hold.
  ASSERT_EQ(writeKeyMapBlock(path.c_str(), 10, vt), 0);
  EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(9 * 2752 + 1376));
  ASSERT_EQ(readKeyMapBlock(path.c_str(), 10, false, &map), 0);
  EXPECT_EQ(std::memcmp(&map, &vt, sizeof map), 0);
  std::remove(path.c_str());
}

TEST(KeyMapFile, DeliveredFileHoldsEachFamilysKeys) {
  static uint8_t file[KEYMAP_FILE_BYTES];
  defaultKeyMapFile(file);
  auto slot = [&](int e, int block, int s) {
    return std::string(reinterpret_cast<const char*>(file + ((e - 1) * 2 + block) * 1376 + s * 16));
  };
  for (int block = 0; block < 2; ++block) {
    EXPECT_EQ(slot(4, block, 5), E + "[A");
    EXPECT_EQ(slot(3, block, 5), E + "A");
    EXPECT_EQ(slot(8, block, 31), "\x01@\r");
    EXPECT_EQ(slot(10, block, 31), E + "a\r");
  }
  for (int e = 1; e <= 10; ++e)
    for (int s = 0; s < KEYMAP_SLOTS; ++s) EXPECT_EQ(file[((e - 1) * 2) * 1376 + s * 16 + 15], 0);
}

}  // namespace
