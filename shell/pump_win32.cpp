// Pump and clock over the window message queue and window timers.
#include <windows.h>

#include <map>

#include "shell/pump.h"
#include "shell/pump_win32.h"

static HWND currentDialog = nullptr;
static std::map<UINT_PTR, volatile bool*> flags;
static std::map<int, UINT_PTR> timerOfId;

void pumpSetDialog(HWND dialog) { currentDialog = dialog; }

int pumpOne() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return 0;
  if (msg.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
    return -1;
  }
  if (currentDialog && IsDialogMessageA(currentDialog, &msg)) return 1;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return 1;
}

int pumpTurn() { return pumpOne(); }

uint32_t clockTicks() { return GetTickCount(); }

// A thread timer's procedure: the expiry only sets the flag that the loop tests.
static void CALLBACK timerFired(HWND, UINT, UINT_PTR event, DWORD) {
  auto it = flags.find(event);
  if (it == flags.end()) return;
  *it->second = true;
  KillTimer(nullptr, event);
  flags.erase(it);
  for (auto t = timerOfId.begin(); t != timerOfId.end(); ++t)
    if (t->second == event) {
      timerOfId.erase(t);
      break;
    }
}

void timerKill(int id) {
  auto it = timerOfId.find(id);
  if (it == timerOfId.end()) return;
  KillTimer(nullptr, it->second);
  flags.erase(it->second);
  timerOfId.erase(it);
}

void timerStart(int id, uint32_t ms, volatile bool* expired) {
  timerKill(id);
  if (!expired) return;
  UINT_PTR event = SetTimer(nullptr, 0, ms ? ms : 1, timerFired);
  if (!event) return;
  flags[event] = expired;
  timerOfId[id] = event;
}

void clockSleep(uint32_t ms) { Sleep(ms); }
