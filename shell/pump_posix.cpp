#include "shell/pump_posix.h"

#include <chrono>
#include <map>
#include <thread>

#include "shell/pump.h"

namespace {
struct Timer {
  uint32_t due;
  volatile bool* expired;
};
bool manual = true;
uint32_t manualNow = 0;
uint32_t manualStep = 1;
std::map<int, Timer> timers;
std::function<int()> hook;

uint32_t realNow() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void fireDue() {
  uint32_t now = clockTicks();
  for (auto it = timers.begin(); it != timers.end();) {
    if (static_cast<int32_t>(now - it->second.due) >= 0) {
      *it->second.expired = true;
      it = timers.erase(it);  // window timers here are one-shot in effect: the flag stays set
    } else {
      ++it;
    }
  }
}
}  // namespace

void clockUseManual(uint32_t stepMs) {
  manual = true;
  manualNow = 0;
  manualStep = stepMs;
  timers.clear();
  hook = nullptr;
}

void clockUseRealTime() {
  manual = false;
  timers.clear();
  hook = nullptr;
}

void clockAdvance(uint32_t ms) {
  manualNow += ms;
  fireDue();
}

void pumpSetHook(std::function<int()> h) { hook = std::move(h); }
int timersRunning() { return static_cast<int>(timers.size()); }

int pumpOne() {
  int r = 0;
  if (hook) {
    r = hook();
    if (r < 0) return r;
  }
  if (manual) clockAdvance(manualStep);
  else {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    fireDue();
  }
  return r > 0 ? 1 : 0;
}

int pumpTurn() {
  if (!manual) {
    int r = hook ? hook() : 0;
    fireDue();
    return r < 0 ? r : (r > 0 ? 1 : 0);
  }
  return pumpOne();
}

uint32_t clockTicks() { return manual ? manualNow : realNow(); }

void timerStart(int id, uint32_t ms, volatile bool* expired) {
  if (!expired) return;
  timers[id] = Timer{clockTicks() + ms, expired};
}

void timerKill(int id) { timers.erase(id); }

void clockSleep(uint32_t ms) {
  if (manual) clockAdvance(ms);
  else std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
