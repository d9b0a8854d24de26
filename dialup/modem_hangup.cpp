#include "dialup/modem_hangup.h"

#include "dialup/dial_port.h"
#include "dialup/modem_commands.h"
#include "shell/pump.h"

namespace {
// The main window's timers of the hang-up.
constexpr int TIMER_ESCAPE = 15, TIMER_HANGUP = 4, TIMER_CLOSE = 11;

void waitServing(int id, uint32_t ms) {
  volatile bool expired = false;
  timerStart(id, ms, &expired);
  while (!expired) {
    const int r = pumpOne();
    if (r < 0) break;
    if (r == 0) clockSleep(1);
  }
  timerKill(id);
}
}  // namespace

void modemHangup(const ModemProfile& profile) {
  waitServing(TIMER_ESCAPE, 100);
  modemSend(profileSlot(profile, SLOT_ESCAPE), true);
  waitServing(TIMER_HANGUP, 1500);
  modemSend(profileSlot(profile, SLOT_HANGUP), false);
  dialPortLowerLines();
  waitServing(TIMER_CLOSE, 2500);
}
