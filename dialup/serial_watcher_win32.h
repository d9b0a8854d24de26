// The serial watcher: a second thread that waits for received characters and
// posts WM_COMMNOTIFY (lParam 255) to the main window, then waits until the
// main thread has drained the input and acknowledged, so at most one
// notification is outstanding. It never reads the port itself.
#pragma once
#include <windows.h>

// Starts a watcher on the open session port for window, unless one runs (the
// WM_COMMNOTIFY lParam 0 handler).
void serialWatcherStart(HWND window);
// The main thread has drained the input: the watcher may wait again.
void serialWatcherAck();
// Clears the port's event mask, releases the watcher and waits a bounded time
// for its end. Called before the port is closed.
void serialWatcherStop();
bool serialWatcherRunning();
