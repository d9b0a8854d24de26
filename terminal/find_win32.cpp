// The modeless Find dialog.
#include <windows.h>

#include <cstring>
#include <string>

#include "terminal/display_dialog_ids.h"
#include "terminal/display_internal_win32.h"
#include "terminal/screen.h"

static HWND findWindow = nullptr;

HWND findDialog() { return findWindow; }

HWND openFind(HWND owner) {
  if (findWindow) {
    SetForegroundWindow(findWindow);
    return findWindow;
  }
  findWindow = CreateDialogParamA(GetModuleHandleA(nullptr), "FIND", owner, FindDlgFunc, 0);
  if (findWindow) ShowWindow(findWindow, SW_SHOW);
  return findWindow;
}

static void search(HWND dialog, bool fromStart) {
  char text[512] = "";
  GetDlgItemTextA(dialog, IDC_FIND_TEXT, text, sizeof text);
  if (!text[0]) return;
  int index = findNext(text, fromStart ? 0 : display.findStart);
  if (index < 0) return;
  // The caret is hidden while the dialog has the focus: the match shows as
  // the selection instead, which Copy then takes.
  int column = foundColumn(text, index);
  selectFound(index, column, static_cast<int>(strlen(text)));
  HWND w = displayWindow();
  int row = showFoundLine(index);
  if (!w) return;
  display.paintHint = PAINT_ALL;
  InvalidateRect(w, nullptr, FALSE);
  UpdateWindow(w);
  SetCaretPos((column - screen.horizontalOffset) * screen.cellWidth, cellY(row));
}

INT_PTR CALLBACK FindDlgFunc(HWND dialog, UINT message, WPARAM wp, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(dialog, IDC_FIND_TEXT, EM_LIMITTEXT, 255, 0);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDC_FIND_FIRST: search(dialog, true); return TRUE;
        case IDC_FIND_NEXT: search(dialog, false); return TRUE;
        case IDCANCEL:
          DestroyWindow(dialog);
          return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      // The cursor stays where the terminal put it; only the view goes back.
      findWindow = nullptr;
      returnToLive();
      displayCaretToCursor();
      return TRUE;
  }
  return FALSE;
}
