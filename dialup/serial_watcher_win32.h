// The serial watcher: a second thread that waits for received characters,
// reads them into a ring as they come and posts WM_COMMNOTIFY (lParam 255) to
// the main window; at most one notification is outstanding until the main
// thread acknowledges it. The link's reads take the ring's bytes first.
#pragma once
#include <windows.h>

#include <cstdint>

// Starts a watcher on the open session port for window, unless one runs (the
// WM_COMMNOTIFY lParam 0 handler).
void serialWatcherStart(HWND window);
// The main thread has drained the input: the next arrival notifies again.
// With recheck, input held already is notified at once (the end of a drain);
// a transfer, which reads the line itself, leaves it to the next arrival.
void serialWatcherAck(bool recheck);
// Up to count of the bytes the watcher has read, in order; how many it holds;
// whether the port went while it read (what it holds is still taken first);
// dropping what it holds (a purge of the receive side).
int serialWatcherTake(uint8_t* buffer, int count);
int serialWatcherHeld();
bool serialWatcherLost();
void serialWatcherDrop();
// Clears the port's event mask, releases the watcher, waits a bounded time
// for its end and drops what it held. Called before the port is closed.
void serialWatcherStop();
bool serialWatcherRunning();
