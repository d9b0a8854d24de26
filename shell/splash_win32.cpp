#include "shell/splash_win32.h"

#include "shell/shell_dialog_ids.h"

namespace {
struct SplashText {
  const char* title;
  const char* text;
};
HFONT titleFont = nullptr;
constexpr UINT_PTR SPLASH_TIMER = 1;

INT_PTR CALLBACK splashProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_INITDIALOG: {
      const SplashText* s = reinterpret_cast<const SplashText*>(lp);
      HDC dc = GetDC(dialog);
      int height = -MulDiv(14, GetDeviceCaps(dc, LOGPIXELSY), 72);
      ReleaseDC(dialog, dc);
      titleFont = CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
      SendDlgItemMessageA(dialog, IDC_SPLASH_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont), FALSE);
      SetDlgItemTextA(dialog, IDC_SPLASH_TITLE, s->title);
      SetDlgItemTextA(dialog, IDC_SPLASH_TEXT, s->text);
      // Centred on the desktop, not on the owner that is still being created.
      RECT r;
      GetWindowRect(dialog, &r);
      int w = r.right - r.left, h = r.bottom - r.top;
      SetWindowPos(dialog, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE);
      SetTimer(dialog, SPLASH_TIMER, 1000, nullptr);
      return TRUE;
    }
    case WM_TIMER:
      if (wp == SPLASH_TIMER) {
        KillTimer(dialog, SPLASH_TIMER);
        EndDialog(dialog, 0);
      }
      return TRUE;
    case WM_DESTROY:
      if (titleFont) DeleteObject(titleFont);
      titleFont = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}
}  // namespace

void splashShow(HWND owner, const char* title, const char* text) {
  SplashText s{title, text};
  DialogBoxParamA(GetModuleHandleA(nullptr), "SPLASHBOX", owner, splashProc, reinterpret_cast<LPARAM>(&s));
}
