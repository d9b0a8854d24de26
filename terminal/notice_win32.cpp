#include "terminal/notice.h"

#include <windows.h>

#include "terminal/print_win32.h"

void noticeShow(const char* text, const char* title) {
  MessageBoxA(printOwner(), text, title, MB_OK | MB_ICONEXCLAMATION);
}

bool noticeAskYes(const char* text) {
  return MessageBoxA(printOwner(), text, "Message", MB_YESNO | MB_ICONQUESTION) == IDYES;
}
