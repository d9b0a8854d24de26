// Control identifiers of the Find and key-map dialogs (shared by the .rc
// script and the dialog procedures).
#pragma once

#define IDC_FIND_TEXT 100
#define IDC_FIND_FIRST 101
#define IDC_FIND_NEXT 102

// KEYMAP: the key buttons carry their virtual-key codes (0x08..0xDE) as identifiers.
#define IDC_KEYMAP_TERMINALS 108
#define IDC_KEYMAP_DEFAULT 300
#define IDC_KEYMAP_APPLICATION 301

#define IDC_KEYDEF_NAME 310
#define IDC_KEYDEF_TEXT 311
#define IDC_KEYDEF_SHIFTED 312

#define IDC_KEYCODE_NAME 320
#define IDC_KEYCODE_PLAIN 321
#define IDC_KEYCODE_SHIFTED 322
#define IDC_KEYCODE_CONTROL 323
