// The dial dialog: its controls show the machine's texts; its read loop runs
// inside the dialog's WM_COMMNOTIFY handler, dispatching messages itself, so
// the countdown and Cancel keep working while it reads.
#include "dialup/dial_dialog_win32.h"

#include <cstdio>

#include "dialup/dial_machine.h"
#include "dialup/dial_ui.h"
#include "dialup/dialup_dialog_ids.h"
#include "shell/pump_win32.h"
#include "terminal/receive.h"

namespace {
HWND dialog = nullptr;
HWND mainWindow = nullptr;
DialMachine machine;
std::string mainTitle;
bool running = false;

void setText(int id, const std::string& text) {
  char now[256];
  GetDlgItemTextA(dialog, id, now, sizeof now);
  if (text != now) SetDlgItemTextA(dialog, id, text.c_str());
}

void runLoop() {
  if (running || machine.stopped) return;
  running = true;
  dialRun(machine);
  running = false;
}

INT_PTR CALLBACK DialDlgFunc(HWND d, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      dialog = d;
      pumpSetDialog(d);
      dialStart(machine);
      if (!machine.stopped) PostMessageA(d, WM_COMMNOTIFY, 0, 0);
      return TRUE;
    case WM_COMMNOTIFY:
      runLoop();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_DIAL_CANCEL) dialCancel(machine, true);
      else if (LOWORD(wParam) == IDCANCEL) dialEscape(machine);  // the Escape key
      return TRUE;
    case WM_CLOSE:
      dialCancel(machine, false);
      return TRUE;
  }
  return FALSE;
}
}  // namespace

void dialShowTerminal(const char* text, int length) {
  processReceived(reinterpret_cast<const uint8_t*>(text), length);
}

void dialShowChanged(const DialMachine& m) {
  if (!dialog) return;
  SetWindowTextA(dialog, m.title.c_str());
  char number[16];
  snprintf(number, sizeof number, "%2d", m.countdown);
  setText(IDC_DIAL_TIMER, number);
  snprintf(number, sizeof number, "%d", m.attemptNumber);
  setText(IDC_DIAL_RETRY, number);
  setText(IDC_DIAL_NUMBER, m.number);
  setText(IDC_DIAL_STATUS, m.status);
  setText(IDC_DIAL_LAST_STATUS, m.lastStatus);
}

void dialShowEnded(const DialMachine& m) {
  if (m.end != DialEnd::Connected) SetWindowTextA(mainWindow, mainTitle.c_str());
  EnableWindow(mainWindow, TRUE);
  if (dialog) EnableWindow(dialog, FALSE);
  PostMessageA(mainWindow, WM_DIAL_ENDED, m.end == DialEnd::UserCancel ? 1 : 0, 0);
}

HWND dialDialogOpen(HWND main, PhoneEntry* entry, ModemProfile* profile, const std::vector<std::string>& list,
                    bool runScript) {
  if (dialog) return nullptr;
  mainWindow = main;
  char title[256] = "";
  GetWindowTextA(main, title, sizeof title);
  mainTitle = title;
  machine = DialMachine{};
  machine.entry = entry;
  machine.profile = profile;
  machine.list = list;
  machine.sequential = !list.empty();
  machine.runScript = runScript;
  EnableWindow(main, FALSE);
  HWND d = CreateDialogParamA(GetModuleHandleA(nullptr), "DIALDIALOG", main, DialDlgFunc, 0);
  if (!d) {
    EnableWindow(main, TRUE);
    return nullptr;
  }
  ShowWindow(d, SW_SHOW);
  return d;
}

HWND dialDialog() { return dialog; }

bool dialDialogClose(bool* runScript) {
  if (runScript) *runScript = machine.runScript;
  if (dialog) {
    pumpSetDialog(nullptr);
    DestroyWindow(dialog);
    dialog = nullptr;
  }
  return machine.end == DialEnd::Connected;
}
