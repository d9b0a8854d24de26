// Host pump and clock. In manual mode (the default for tests) time stands still
// until the test advances it, and every pumpOne() first runs the test's hook
// (feeding bytes, pressing Cancel) and then moves the clock by one step. In
// real-time mode (tools) the clock is the monotonic clock and pumpOne() sleeps
// briefly, so wait loops do not spin.
#pragma once
#include <cstdint>
#include <functional>

void clockUseManual(uint32_t stepMs = 1);
void clockUseRealTime();
// Manual mode: moves the clock forward and fires the timers that expire.
void clockAdvance(uint32_t ms);
// Called by every pumpOne() before the step; return negative to quit the loop.
void pumpSetHook(std::function<int()> hook);
// Timers still running (for tests that check a loop cleans up).
int timersRunning();
