// The serial watcher thread. Its events are unnamed, so two instances of the
// program never share them, and its end is awaited with a bound.
#include <windows.h>

#include <atomic>
#include <initializer_list>

#include "dialup/serial_port_win32.h"
#include "dialup/serial_watcher_win32.h"

namespace {
// What one watcher uses; the main thread frees it once the thread has ended.
struct Watch {
  HANDLE port;
  HWND window;
  HANDLE ack;   // set by the main thread once the input is drained
  HANDLE io;    // the overlapped wait's event
  HANDLE stop;  // set to end the thread whatever it waits for
};

std::atomic<bool> running{false};
HANDLE thread = nullptr;
Watch* current = nullptr;  // main thread only

constexpr DWORD STOP_WAIT_MS = 2000;
constexpr DWORD HEALTH_CHECK_MS = 50;

// Input waits, or the port is gone: either way the main thread must read.
bool inputQueued(HANDLE port) {
  DWORD errors = 0;
  COMSTAT stat{};
  return !ClearCommError(port, &errors, &stat) || stat.cbInQue > 0;
}

// What the port's event mask says: cleared while the port is being closed;
// unreadable once the port is gone, which the main thread must be woken to
// read (and hang up).
enum class PortLook { Closing, Gone, Open };
PortLook lookAtPort(HANDLE port) {
  DWORD mask = 0;
  if (!GetCommMask(port, &mask)) return PortLook::Gone;
  return mask == 0 ? PortLook::Closing : PortLook::Open;
}

// A cancelled wait has let its record go, within a bound.
bool settled(OVERLAPPED* ov) {
  for (int i = 0; i < 100; ++i) {
    if (HasOverlappedIoCompleted(ov)) return true;
    Sleep(2);
  }
  return false;
}

// Waits for the port's event or the stop; false when the watcher must end.
bool waitForInput(Watch* w) {
  for (;;) {
    // Input that came while the main thread drained raises no new event on
    // every driver (Wine's pseudo-terminal ports remember none): it is
    // announced at once, not at the next look at the queue.
    PortLook before = lookAtPort(w->port);
    if (before == PortLook::Closing) return false;
    if (before == PortLook::Gone || inputQueued(w->port)) return true;
    // The wait's record lives on the heap: a wait the driver never lets go
    // after its cancel is left to it rather than to this stack frame.
    OVERLAPPED* ov = new OVERLAPPED{};
    ov->hEvent = w->io;
    DWORD events = 0, moved = 0;
    ResetEvent(w->io);  // Wine leaves it set from the last wait
    bool done = WaitCommEvent(w->port, &events, ov);
    if (!done && GetLastError() == ERROR_IO_PENDING) {
      HANDLE both[2] = {w->io, w->stop};
      for (;;) {
        DWORD woke;
        // Now and then the queue is looked at: a wait may miss the far end's hang-up.
        while ((woke = WaitForMultipleObjects(2, both, FALSE, HEALTH_CHECK_MS)) == WAIT_TIMEOUT &&
               !inputQueued(w->port)) {
        }
        if (woke != WAIT_OBJECT_0) {
          CancelIo(w->port);  // our own pending wait; let it go before ov does
          if (settled(ov)) delete ov;
          return woke == WAIT_TIMEOUT;
        }
        done = GetOverlappedResult(w->port, ov, &moved, FALSE);
        // Wine may set the event of a wait that has not completed (seen once
        // the dialing had used the port): the wait goes on.
        if (done || GetLastError() != ERROR_IO_INCOMPLETE) break;
        ResetEvent(w->io);
      }
    }
    delete ov;
    const DWORD error = done ? 0 : GetLastError();
    PortLook after = lookAtPort(w->port);
    if (after == PortLook::Closing) return false;
    if (after == PortLook::Gone) return true;
    if (done && events != 0) return true;
    // A port without modem lines (a pseudo-terminal under Wine) ends a wait
    // aborted when input arrives, and fails it once the far end is gone: the
    // queue tells which.
    if (!done && inputQueued(w->port)) return true;
    if (!done && error != ERROR_OPERATION_ABORTED) return false;
    if (WaitForSingleObject(w->stop, 10) != WAIT_TIMEOUT) return false;
  }
}

DWORD WINAPI watch(void* arg) {
  Watch* w = static_cast<Watch*>(arg);
  while (WaitForSingleObject(w->stop, 0) == WAIT_TIMEOUT && waitForInput(w)) {
    // The ack is reset before posting, so an early ack cannot let a second
    // notification out before the main thread drained the first.
    ResetEvent(w->ack);
    bool posted = false;
    while (!posted && WaitForSingleObject(w->stop, 0) == WAIT_TIMEOUT) {
      posted = PostMessageA(w->window, WM_COMMNOTIFY, 0, 255);
      if (!posted) Sleep(10);
    }
    HANDLE both[2] = {w->ack, w->stop};
    if (WaitForMultipleObjects(2, both, FALSE, INFINITE) != WAIT_OBJECT_0) break;
  }
  running = false;
  return 0;
}

void release(Watch* w) {
  for (HANDLE h : {w->ack, w->io, w->stop})
    if (h) CloseHandle(h);
  delete w;
}

// Forgets the thread; what it used is freed only when it has ended, and is
// otherwise left to it (a stop that timed out).
void forget(DWORD waitMs) {
  if (thread && WaitForSingleObject(thread, waitMs) == WAIT_OBJECT_0) release(current);
  if (thread) CloseHandle(thread);
  thread = nullptr;
  current = nullptr;
}
}  // namespace

void serialWatcherStart(HWND window) {
  HANDLE port = serialPortHandle();
  if (running || port == INVALID_HANDLE_VALUE) return;
  forget(STOP_WAIT_MS);  // a watcher that ended by itself (its last steps may still run)
  Watch* w = new Watch{port, window, CreateEventA(nullptr, TRUE, FALSE, nullptr),
                       CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  if (!w->ack || !w->io || !w->stop) {
    release(w);
    return;
  }
  SetCommMask(port, EV_RXCHAR);
  running = true;
  thread = CreateThread(nullptr, 8192, watch, w, 0, nullptr);
  if (!thread) {
    running = false;
    release(w);
    return;
  }
  current = w;
}

void serialWatcherAck() {
  if (current) SetEvent(current->ack);
}

void serialWatcherStop() {
  HANDLE port = serialPortHandle();
  if (port != INVALID_HANDLE_VALUE) SetCommMask(port, 0);
  if (!current) return;
  SetEvent(current->ack);
  SetEvent(current->stop);
  forget(STOP_WAIT_MS);  // bounded: a thread that does not end in time is left to end by itself
}

bool serialWatcherRunning() { return running; }
