#include "dialog_driver.h"

namespace {
struct Find {
  const char* title;
  HWND found;
};
BOOL CALLBACK findTitle(HWND w, LPARAM lp) {
  Find* f = reinterpret_cast<Find*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  // InternalGetWindowText sends no message: the window's thread may be the
  // one waiting for this thread.
  WCHAR text[256];
  char narrow[256];
  if (pid == GetCurrentProcessId() && IsWindowVisible(w) && InternalGetWindowText(w, text, 256) &&
      WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr) &&
      strcmp(narrow, f->title) == 0) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND waitForWindow(const char* title, DWORD ms) {
  DWORD start = GetTickCount();
  do {
    Find f{title, nullptr};
    EnumWindows(findTitle, reinterpret_cast<LPARAM>(&f));
    if (f.found) return f.found;
    Sleep(20);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

std::string messageBoxText(HWND box) {
  char text[1024] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return text;
}

MessageBoxCloser::MessageBoxCloser() {
  InitializeCriticalSection(&lock);
  worker = std::thread([this] {
    while (!stop) {
      HWND box = waitForWindow("Message", 50);
      if (!box) continue;
      std::string text = messageBoxText(box);
      EnterCriticalSection(&lock);
      seen.push_back(text);
      LeaveCriticalSection(&lock);
      SendMessageA(box, WM_COMMAND, IDOK, 0);
      Sleep(50);
    }
  });
}

MessageBoxCloser::~MessageBoxCloser() {
  stop = true;
  worker.join();
  DeleteCriticalSection(&lock);
}

std::vector<std::string> MessageBoxCloser::texts() {
  EnterCriticalSection(&lock);
  std::vector<std::string> copy = seen;
  LeaveCriticalSection(&lock);
  return copy;
}
