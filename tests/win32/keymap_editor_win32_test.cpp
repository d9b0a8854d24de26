// The key-map editor driven as a user would from a second thread: a key
// definition refused, one stored with OK, one discarded with Cancel, and the
// live map reloaded from the file each time.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "screenshot.h"
#include "terminal/display_dialog_ids.h"
#include "terminal/display_win32.h"
#include "terminal/keymap.h"
#include "win32_driver.h"

namespace {

const char* EDITOR_TITLE = "Keymap Editor VT100(Ansi Color)";

std::string slotText(const KeyMap& map, int slot) {
  return std::string(reinterpret_cast<const char*>(map.slots[slot]), slotLength(map, slot));
}

std::string dialogText(HWND dialog) {
  char text[256] = "";
  GetDlgItemTextA(dialog, IDC_KEYDEF_TEXT, text, sizeof text);
  return text;
}

void waitGone(HWND w) {
  for (int i = 0; i < 250 && IsWindow(w); ++i) Sleep(20);
}

// Opens the editor, lets act work in the Up key's definition, then leaves the
// editor with button; returns the editor's result.
int editUpKey(const std::function<void(HWND)>& act, int button) {
  std::thread user([&] {
    HWND editor = waitForWindow(EDITOR_TITLE, 5000);
    if (!editor) return;
    Sleep(300);
    saveScreenshot("keymap_editor");
    PostMessageA(editor, WM_COMMAND, MAKEWPARAM(0x26, BN_CLICKED), 0);
    HWND key = waitForWindow("Key Definition", 5000);
    if (!key) return;
    act(key);
    PostMessageA(key, WM_COMMAND, IDOK, 0);
    waitGone(key);
    PostMessageA(editor, WM_COMMAND, button, 0);
  });
  int result = openKeyMapEditor(mainWindow(), 2);
  user.join();
  return result;
}

TEST(Win32KeyMapEditor, RefusesBadHexStoresOnOkDiscardsOnCancel) {
  std::snprintf(keyboard.mapPath, sizeof keyboard.mapPath, "%s", tempPath("keymap_editor_test.kbd").c_str());
  DeleteFileA(keyboard.mapPath);
  KeyMap start{};
  std::strcpy(reinterpret_cast<char*>(start.slots[5]), "a^b\\c");
  ASSERT_EQ(writeKeyMapBlock(keyboard.mapPath, 2, start), 0);

  std::string shown;
  bool refusedBoxSeen = false, stayedOpen = false;
  EXPECT_EQ(editUpKey([&](HWND key) {
    shown = dialogText(key);
    SetDlgItemTextA(key, IDC_KEYDEF_TEXT, "\\1g");
    PostMessageA(key, WM_COMMAND, IDOK, 0);
    HWND box = waitForWindow("Error", 5000);
    refusedBoxSeen = box != nullptr;
    if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
    waitGone(box);
    stayedOpen = IsWindow(key);
    SetDlgItemTextA(key, IDC_KEYDEF_TEXT, "^[[99~");
  }, IDOK), IDOK);
  // "^" and "\" are shown in hex form, so the text reads back as the same bytes.
  EXPECT_EQ(shown, "a\\5eb\\5cc");
  EXPECT_TRUE(refusedBoxSeen) << "Invalid hex string";
  EXPECT_TRUE(stayedOpen);
  // Cancel: the edit reaches neither the file nor the live map.
  for (int button : {IDOK, IDCANCEL}) {
    if (button == IDCANCEL)
      EXPECT_EQ(editUpKey([](HWND key) { SetDlgItemTextA(key, IDC_KEYDEF_TEXT, "changed"); }, IDCANCEL), IDCANCEL);
    KeyMap file;
    ASSERT_EQ(readKeyMapBlock(keyboard.mapPath, 2, false, &file), 0);
    EXPECT_EQ(slotText(file, 5), "\033[99~");
    EXPECT_EQ(slotText(keyboard.map, 5), "\033[99~");
  }
  DeleteFileA(keyboard.mapPath);
}

}  // namespace
