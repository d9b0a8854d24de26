// "Check modem port": COM1 to COM8 in turn, each asked "ATQ\r" (results on)
// and given three seconds; the first that answers OK, numerically or in
// words, is reported. Nothing is stored.
#include <windows.h>

#include <cstdio>

#include "dialup/modem_dialog_ids.h"
#include "dialup/modem_dialogs_win32.h"
#include "dialup/search_reply.h"

namespace {
constexpr UINT_PTR TIMER_POLL = 1;
constexpr UINT_PTR TIMER_GIVE_UP = 16;
constexpr int LAST_PORT = 8;
// Bytes taken per notification: a flooding port cannot hold the dialog, the
// give-up timer still comes round.
constexpr int READ_PER_ROUND = 4096;

struct Search {
  int port;  // 0 before the first, 1 to 8, 9 when done
  HANDLE handle;
  bool searching;
  SearchReply reply;
};
Search search;

void closePort() {
  if (search.handle == INVALID_HANDLE_VALUE) return;
  PurgeComm(search.handle, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
  CloseHandle(search.handle);
  search.handle = INVALID_HANDLE_VALUE;
}

void stopTimers(HWND dialog) {
  KillTimer(dialog, TIMER_POLL);
  KillTimer(dialog, TIMER_GIVE_UP);
}

// The port with small queues, 2400 bit/s 8-N-1, reads that return at once.
HANDLE openPort(int port) {
  char name[8];
  snprintf(name, sizeof name, "COM%d:", port);
  HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return h;
  SetupComm(h, 1024, 1024);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  GetCommState(h, &dcb);
  dcb.BaudRate = CBR_2400;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  SetCommState(h, &dcb);
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = MAXDWORD;
  SetCommTimeouts(h, &t);
  return h;
}

void nextPort(HWND dialog) {
  closePort();
  searchReplyReset(search.reply);
  if (++search.port > LAST_PORT) {
    SetDlgItemTextA(dialog, IDC_PORT_STATUS, "Modem is not found in any port");
    MessageBeep(0);
    search.searching = false;
    return;
  }
  char text[40];
  snprintf(text, sizeof text, "Checking port COM%d:", search.port);
  SetDlgItemTextA(dialog, IDC_PORT_STATUS, text);
  search.handle = openPort(search.port);
  if (search.handle == INVALID_HANDLE_VALUE) {
    PostMessageA(dialog, WM_COMMAND, IDC_PORT_NEXT, 0);
    return;
  }
  DWORD written = 0;
  WriteFile(search.handle, "ATQ\r", 4, &written, nullptr);
  SetTimer(dialog, TIMER_POLL, 2, nullptr);
  SetTimer(dialog, TIMER_GIVE_UP, 3000, nullptr);
}

void found(HWND dialog) {
  stopTimers(dialog);
  char text[40];
  snprintf(text, sizeof text, "Modem found in port %d", search.port);
  SetDlgItemTextA(dialog, IDC_PORT_STATUS, text);
  closePort();
  MessageBeep(0);
  search.searching = false;
}

void readReply(HWND dialog) {
  if (search.handle == INVALID_HANDLE_VALUE) return;
  for (int taken = 0; taken < READ_PER_ROUND; ++taken) {
    uint8_t byte;
    DWORD got = 0;
    if (!ReadFile(search.handle, &byte, 1, &got, nullptr) || got == 0) return;
    if (searchReplyByte(search.reply, byte)) {
      found(dialog);
      return;
    }
  }
}
}  // namespace

INT_PTR CALLBACK PortDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      search.port = 0;
      search.handle = INVALID_HANDLE_VALUE;
      search.searching = true;
      searchReplyReset(search.reply);
      PostMessageA(dialog, WM_COMMAND, IDC_PORT_NEXT, 0);
      return TRUE;
    case WM_TIMER:
      if (wParam == TIMER_POLL) {
        PostMessageA(dialog, WM_COMMNOTIFY, 0, 0);
      } else if (wParam == TIMER_GIVE_UP) {
        stopTimers(dialog);
        closePort();
        PostMessageA(dialog, WM_COMMAND, IDC_PORT_NEXT, 0);
      }
      return TRUE;
    case WM_COMMNOTIFY:
      if (search.searching) readReply(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PORT_NEXT:
          if (search.searching) nextPort(dialog);
          return TRUE;
        case IDC_PORT_OK:
        case IDOK:
        case IDCANCEL:
          if (!search.searching) EndDialog(dialog, IDOK);
          return TRUE;
      }
      break;
    case WM_CLOSE:
      if (!search.searching) EndDialog(dialog, IDOK);
      return TRUE;
  }
  return FALSE;
}

void modemSearchDialog(HWND owner) {
  DialogBoxParamA(GetModuleHandleA(nullptr), "Port", owner, PortDlgFunc, 0);
  closePort();
}
