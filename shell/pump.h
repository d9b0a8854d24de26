// The pump and the clock: how long operations stay responsive while they wait.
// A wait loop takes one queued message at a time and tests flags that timers
// set; it never blocks. The target build uses the window message queue and
// window timers; host tests use a manual clock that they advance themselves.
#pragma once
#include <cstdint>

// Takes and dispatches at most one queued message (dialog keys through the
// current modeless dialog). Returns 1 when one was handled, 0 when none waited,
// negative when the program is quitting.
int pumpOne();
// The same for a loop that is busy rather than waiting (a sender streaming
// data): it never gives up the processor.
int pumpTurn();
// Milliseconds since some fixed start; wraps like a 32-bit tick count.
uint32_t clockTicks();
// Starts timer id; when ms have passed *expired is set to true. Restarting an
// id replaces it.
void timerStart(int id, uint32_t ms, volatile bool* expired);
void timerKill(int id);
// Gives up the processor for about ms milliseconds.
void clockSleep(uint32_t ms);
