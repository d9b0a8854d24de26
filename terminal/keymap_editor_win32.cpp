// The key-map editor and its Key Definition and Keycode dialogs. The editor
// works on a copy of a block; the live map is reloaded when it closes.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "terminal/display_dialog_ids.h"
#include "terminal/display_win32.h"
#include "terminal/keymap.h"
#include "terminal/terminal_type.h"

namespace {
struct Editor {
  KeyMap map;       // the block being edited
  int emulation;    // whose block it is
  int key;          // key of the open sub-dialog
  bool shifted;
};
Editor editor;

void retitle(HWND dialog) {
  std::string title = std::string("Keymap Editor ") + terminalType(editor.emulation).name;
  SetWindowTextA(dialog, title.c_str());
}

bool isStringKey(int vk) {
  return vk == VK_KEYPAD_ENTER || (vk >= 0x21 && vk <= 0x28) || vk == 0x2D || (vk >= 0x60 && vk <= 0x6B) ||
         (vk >= 0x6D && vk <= 0x7B);
}

bool isCharacterKey(int vk) {
  return vk == 0x08 || vk == 0x09 || vk == 0x0D || vk == 0x1B || vk == 0x20 || (vk >= '0' && vk <= '9') ||
         (vk >= 'A' && vk <= 'Z') || (vk >= 0xBA && vk <= 0xC0) || (vk >= 0xDB && vk <= 0xDE);
}

void keyName(int vk, char* out, int size) {
  if (vk == VK_KEYPAD_ENTER) {
    std::snprintf(out, size, "Num Enter");
    return;
  }
  LONG scan = static_cast<LONG>(MapVirtualKeyA(vk, 0)) << 16;
  // Keys of the editing block are extended keys.
  if ((vk >= 0x21 && vk <= 0x2E) || vk == 0x6F) scan |= 1 << 24;
  if (GetKeyNameTextA(scan, out, size) <= 0) std::snprintf(out, size, "Key %02X", vk);
}

int editorSlot() { return keySlot(editor.key, editor.shifted); }

void showSlot(HWND dialog) {
  char text[3 * KEYMAP_SLOT_BYTES + 1];
  int slot = editorSlot();
  keyBytesToText(editor.map.slots[slot], slotLength(editor.map, slot), text, sizeof text);
  SetDlgItemTextA(dialog, IDC_KEYDEF_TEXT, text);
}
}  // namespace

INT_PTR CALLBACK KeyFunctionDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_INITDIALOG: {
      editor.key = static_cast<int>(lp);
      editor.shifted = false;
      char name[64];
      keyName(editor.key, name, sizeof name);
      SetDlgItemTextA(dialog, IDC_KEYDEF_NAME, name);
      bool function = editor.key >= 0x70 && editor.key <= 0x7B;
      EnableWindow(GetDlgItem(dialog, IDC_KEYDEF_SHIFTED), function);
      SendDlgItemMessageA(dialog, IDC_KEYDEF_TEXT, EM_LIMITTEXT, 255, 0);
      showSlot(dialog);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDC_KEYDEF_SHIFTED:
          editor.shifted = IsDlgButtonChecked(dialog, IDC_KEYDEF_SHIFTED) == BST_CHECKED;
          showSlot(dialog);
          return TRUE;
        case IDOK: {
          char text[256];
          GetDlgItemTextA(dialog, IDC_KEYDEF_TEXT, text, sizeof text);
          uint8_t bytes[KEYMAP_SLOT_BYTES];
          if (keyTextToBytes(text, bytes) < 0) {
            MessageBoxA(dialog, "Invalid hex string", "Error", MB_OK | MB_ICONEXCLAMATION);
            return TRUE;
          }
          std::memcpy(editor.map.slots[editorSlot()], bytes, KEYMAP_SLOT_BYTES);
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK KeycodeDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_INITDIALOG: {
      int vk = static_cast<int>(lp);
      char name[64], text[32];
      keyName(vk, name, sizeof name);
      SetDlgItemTextA(dialog, IDC_KEYCODE_NAME, name);
      // The character the key gives unshifted, shifted and with Control.
      const int ids[3] = {IDC_KEYCODE_PLAIN, IDC_KEYCODE_SHIFTED, IDC_KEYCODE_CONTROL};
      for (int i = 0; i < 3; ++i) {
        BYTE state[256] = {};
        if (i == 1) state[VK_SHIFT] = 0x80;
        if (i == 2) state[VK_CONTROL] = 0x80;
        WORD ch = 0;
        int n = ToAscii(vk, MapVirtualKeyA(vk, 0), state, &ch, 0);
        if (n == 1) std::snprintf(text, sizeof text, "%02Xh", ch & 0xFF);
        else std::snprintf(text, sizeof text, "none");
        SetDlgItemTextA(dialog, ids[i], text);
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wp));
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK KbdDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      createKeyMapFile(keyboard.mapPath);
      editor.emulation = TERM_ANSI_COLOR;
      readKeyMapBlock(keyboard.mapPath, editor.emulation, false, &editor.map);
      for (int i = 0; i < TERMINAL_TYPE_COUNT; ++i)
        SendDlgItemMessageA(dialog, IDC_KEYMAP_TERMINALS, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(terminalTypes[i].name));
      SendDlgItemMessageA(dialog, IDC_KEYMAP_TERMINALS, CB_SETCURSEL, editor.emulation - 1, 0);
      retitle(dialog);
      return TRUE;
    }
    case WM_COMMAND: {
      int id = LOWORD(wp);
      if (id == IDC_KEYMAP_TERMINALS) {
        if (HIWORD(wp) == CBN_SELCHANGE) {
          int sel = static_cast<int>(SendDlgItemMessageA(dialog, IDC_KEYMAP_TERMINALS, CB_GETCURSEL, 0, 0));
          editor.emulation = sel < 0 ? TERM_ANSI_COLOR : sel + 1;
          readKeyMapBlock(keyboard.mapPath, editor.emulation, false, &editor.map);
          retitle(dialog);
        }
        return TRUE;
      }
      switch (id) {
        case IDOK:
          if (writeKeyMapBlock(keyboard.mapPath, editor.emulation, editor.map) < 0)
            MessageBoxA(dialog, "File open error", "Message", MB_OK | MB_ICONEXCLAMATION);
          EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case IDC_KEYMAP_DEFAULT:
          readKeyMapBlock(keyboard.mapPath, editor.emulation, true, &editor.map);
          return TRUE;
        case IDC_KEYMAP_APPLICATION:
          CheckDlgButton(dialog, id, IsDlgButtonChecked(dialog, id) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
          return TRUE;
      }
      HINSTANCE module = GetModuleHandleA(nullptr);
      if (isStringKey(id)) DialogBoxParamA(module, "KEYFUNCTION", dialog, KeyFunctionDlgFunc, id);
      else if (isCharacterKey(id)) DialogBoxParamA(module, "Keycode", dialog, KeycodeDlgFunc, id);
      return TRUE;
    }
  }
  return FALSE;
}

int openKeyMapEditor(HWND owner, int emulation) {
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), "KEYMAP", owner, KbdDlgFunc, 0);
  // The live map is whatever the file holds now, edited or not.
  loadKeyMap(emulation);
  return static_cast<int>(r);
}
