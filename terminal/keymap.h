// The key map: per-emulation strings for the cursor, editing, keypad and
// function keys, read from the key-map file, and the rules by which keys and
// typed characters leave for the host.
#pragma once
#include <cstdint>

constexpr int KEYMAP_SLOTS = 86;
constexpr int KEYMAP_SLOT_BYTES = 16;  // a string of at most 15 bytes and its NUL
constexpr int KEYMAP_BLOCK_BYTES = KEYMAP_SLOTS * KEYMAP_SLOT_BYTES;  // 1376
constexpr int KEYMAP_BLOCKS = 20;      // a user and a default block per emulation
constexpr int KEYMAP_FILE_BYTES = KEYMAP_BLOCKS * KEYMAP_BLOCK_BYTES;
constexpr const char* KEYMAP_FILE_NAME = "kelvro.kbd";
constexpr int KEYPAD_ENTER_SLOT = 8;
constexpr int VK_KEYPAD_ENTER = 0x0A;  // the key-map editor's code for the keypad Enter

struct KeyMap {
  uint8_t slots[KEYMAP_SLOTS][KEYMAP_SLOT_BYTES];
};

struct KeyboardState {
  KeyMap map;                  // the working map of the connection's emulation
  bool shift = false;          // Shift held: F1..F12 use their shifted slots
  int lastKey = 0;             // virtual-key code of the last key pressed
  bool lastKeyKeypadEnter = false;
  bool backspaceDelete = false;  // "Backspace <-> Delete"
  bool rlogin = false;         // the link is an Rlogin connection ...
  bool rloginRaw = false;      // ... in raw mode
  bool shiftCommandKeys = false;  // Shift+Insert and Shift+Delete are paste and copy
  char mapPath[260] = "kelvro.kbd";  // the key-map file, in the program directory
};

extern KeyboardState keyboard;

// Slot of a virtual-key code (shifted: F1..F12 take their shifted slots), or -1.
int keySlot(int vk, bool shifted);
// Length of a slot's string (never past its 15 bytes).
int slotLength(const KeyMap& map, int slot);

// The file: block of emulation e (1..10), its user or its default map. A block
// read is terminated slot by slot. Return 0, or -1 when the file could not be
// opened, read or written (the map is then all empty).
int readKeyMapBlock(const char* path, int emulation, bool defaults, KeyMap* map);
int writeKeyMapBlock(const char* path, int emulation, const KeyMap& map);
// Creates the file with 20 zeroed blocks unless it exists. 0 or -1.
int createKeyMapFile(const char* path);
// Zeroes the working map and reads the user map of the emulation into it.
void loadKeyMap(int emulation);

// A mapped key was pressed (key-down with auto-repeat on, key-up with it off).
void keyToHost(int vk);
// A character message; dropped when its key was already handled by the map.
void typedCharacter(uint8_t ch);
// Key-down and key-up bookkeeping: the Shift flag and the last key.
void keyPressed(int vk, bool keypadEnter);
void keyReleased(int vk);
// Sends a key's string by the key send rules. Returns 0 (also when a rule
// drops the string), negative when there is no link or it failed. A socket
// that cannot take data yet is waited for inside the link's write.
int sendKeyString(const uint8_t* bytes, int length);

// Editor notation: ^c for control bytes, \hh for bytes from 0x7F and for "^"
// and "\" themselves, every other byte as itself.
// Text to bytes (cut to 15): the length, or -1 for "Invalid hex string".
int keyTextToBytes(const char* text, uint8_t out[KEYMAP_SLOT_BYTES]);
// Bytes to text; out needs 3 * 15 + 1 bytes.
void keyBytesToText(const uint8_t* bytes, int length, char* out, int outSize);

// The delivered strings: emulation e's default map.
void defaultKeyMap(int emulation, KeyMap* map);
// The whole delivered file (user and default blocks alike) into out.
void defaultKeyMapFile(uint8_t out[KEYMAP_FILE_BYTES]);
