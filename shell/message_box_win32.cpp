// The suite's message box: the standard message box titled "Message".
#include <windows.h>

#include <cstring>

#include "shell/message_box.h"
#include "shell/message_box_win32.h"

static HWND ownerWindow = nullptr;

void messageBoxSetOwner(HWND owner) { ownerWindow = owner; }
HWND messageBoxOwner() { return ownerWindow; }

int messageBox(int id, const char* extra, unsigned style) {
  return messageBoxTitled(id, extra, MESSAGE_TITLE, style);
}

int messageBoxTitled(int id, const char* extra, const char* title, unsigned style) {
  char text[1024];
  const char* base = messageText(id);
  size_t n = strnlen(base, 512);
  memcpy(text, base, n);
  text[n] = '\0';
  if (extra) strncat(text, extra, sizeof text - n - 1);
  return MessageBoxA(ownerWindow, text, title ? title : MESSAGE_TITLE, style);
}

int messageBoxText(const char* text, unsigned style) {
  return MessageBoxA(ownerWindow, text ? text : "", MESSAGE_TITLE, style);
}

void messageBeep() { MessageBeep(0); }
