// Key lookup and the key send rules.
#include "terminal/keymap.h"

#include <cstring>

#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"

KeyboardState keyboard;

constexpr uint8_t ESC = 0x1B, CR = 0x0D, LF = 0x0A, BS = 0x08, DEL = 0x7F, XON = 0x11, XOFF = 0x13;
constexpr uint8_t CSI8 = 0x9B, SS3 = 0x8F;

int keySlot(int vk, bool shifted) {
  if (vk == VK_KEYPAD_ENTER) return KEYPAD_ENTER_SLOT;
  if (vk >= 0x21 && vk <= 0x2D) return vk - 0x21;
  if (vk >= 0x70 && vk <= 0x7B) return vk - 0x51 + (shifted ? 43 : 0);
  if (vk >= 0x60 && vk <= 0x91) return vk - 0x51;
  return -1;
}

int slotLength(const KeyMap& map, int slot) {
  if (slot < 0 || slot >= KEYMAP_SLOTS) return 0;
  const uint8_t* s = map.slots[slot];
  int n = 0;
  while (n < KEYMAP_SLOT_BYTES - 1 && s[n]) ++n;
  return n;
}

static bool isArrow(int vk) { return vk >= 0x25 && vk <= 0x28; }

void keyToHost(int vk) {
  if (!((vk >= 0x21 && vk <= 0x2F) || (vk >= 0x60 && vk <= 0x91))) return;
  returnToLive();
  uint8_t out[KEYMAP_SLOT_BYTES] = {};
  int n = 0;
  int slot = -1;
  if (vk == 0x2E) {
    // Shift+Delete is the copy command on the network terminal.
    if (keyboard.shiftCommandKeys && keyboard.shift) return;
    out[0] = DEL;
    n = 1;
  } else if (vk == 0x2F) {
    return;
  } else if (vk == 0x2D && keyboard.shiftCommandKeys && keyboard.shift) {
    return;  // Shift+Insert is the paste command
  } else if (vk >= 0x60 && vk <= 0x6F) {
    if (!emulator.keypadApplication) return;  // the typed digit goes instead
    slot = vk - 0x51;
  } else {
    slot = keySlot(vk, keyboard.shift);
  }
  if (slot >= 0) {
    n = slotLength(keyboard.map, slot);
    std::memcpy(out, keyboard.map.slots[slot], n);
    if (isArrow(vk) && emulator.cursorKeysApplication && n >= 2 && out[1] == '[') out[1] = 'O';
  }
  if (n > 0) sendKeyString(out, n);
}

void keyPressed(int vk, bool keypadEnter) {
  if (vk == 0x10) keyboard.shift = true;
  keyboard.lastKey = vk;
  keyboard.lastKeyKeypadEnter = keypadEnter;
}

void keyReleased(int vk) {
  if (vk == 0x10) keyboard.shift = false;
}

void typedCharacter(uint8_t ch) {
  int k = keyboard.lastKey;
  if (emulator.keypadApplication) {
    if (ch == CR && keyboard.lastKeyKeypadEnter) {
      int n = slotLength(keyboard.map, KEYPAD_ENTER_SLOT);
      if (n > 0) sendKeyString(keyboard.map.slots[KEYPAD_ENTER_SLOT], n);
      return;
    }
    if ((k >= 0x21 && k <= 0x2F) || (k >= 0x60 && k <= 0x91)) return;
  } else if (isArrow(k)) {
    return;
  }
  sendKeyString(&ch, 1);
}

// ESC [ and ESC O become the single 8-bit introducers.
static int eightBitIntroducer(uint8_t* s, int n) {
  if (!emulator.eightBitControls || n < 2 || s[0] != ESC || (s[1] != '[' && s[1] != 'O')) return n;
  s[0] = s[1] == '[' ? CSI8 : SS3;
  std::memmove(s + 1, s + 2, n - 2);
  return n - 1;
}

int sendKeyString(const uint8_t* bytes, int length) {
  if (!linkConnected()) return -1;
  if (!bytes || length <= 0) return 0;
  uint8_t s[KEYMAP_SLOT_BYTES + 1];
  int n = length > KEYMAP_SLOT_BYTES ? KEYMAP_SLOT_BYTES : length;
  std::memcpy(s, bytes, n);
  if (s[0] == ESC && !terminalOptions.localEcho) {
    n = eightBitIntroducer(s, n);
    return linkWrite(s, n);
  }
  if (s[0] == CR && emulator.newLineMode) {
    if (n >= KEYMAP_SLOT_BYTES) n = KEYMAP_SLOT_BYTES - 1;
    std::memmove(s + 2, s + 1, n - 1);
    s[1] = LF;
    ++n;
  } else if (keyboard.backspaceDelete && (s[0] == BS || s[0] == DEL)) {
    s[0] = s[0] == BS ? DEL : BS;
    n = 1;
  } else {
    n = eightBitIntroducer(s, n);
  }
  // Flow control belongs to the Rlogin connection itself until raw mode.
  if (keyboard.rlogin && !keyboard.rloginRaw && (s[0] == XON || s[0] == XOFF)) return 0;
  return sendBytes(s, n);
}
