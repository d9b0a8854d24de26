// The serial reader thread. It moves what the port receives into a ring as
// it comes, so the main thread draws one block while the next is read (a
// read through Wine's serial driver costs far more than the drawing of what
// it brings), and wakes the main thread with one notification at a time. Its
// events are unnamed, so two instances of the program never share them, and
// its end is awaited with a bound.
#include <windows.h>

#include <atomic>
#include <initializer_list>

#include "dialup/receive_ring.h"
#include "dialup/serial_port_win32.h"
#include "dialup/serial_watcher_win32.h"
#include "terminal/link.h"

namespace {
// What one watcher uses; the main thread frees it once the thread has ended.
struct Watch {
  HANDLE port;
  HWND window;
  HANDLE space;  // set by the main thread when it took from a full ring
  HANDLE io;     // the overlapped wait's and reads' event
  HANDLE stop;   // set to end the thread whatever it waits for
  std::atomic<bool> stopping{false};  // the stop, seen between two reads without a wait
};

// Enough for a second of a fast line while the window is busy elsewhere; a
// full ring leaves the rest in the driver, whose flow control then holds it.
constexpr uint32_t RING_BYTES = 256 * 1024;
ReceiveRing ring;
std::atomic<bool> notified{false};    // a notification is out and not yet acknowledged
std::atomic<bool> lost{false};        // the port went while the reader read it
std::atomic<bool> spaceWanted{false};  // the reader waits for the main thread to take
std::atomic<bool> running{false};
HANDLE thread = nullptr;
Watch* current = nullptr;  // main thread only

constexpr DWORD STOP_WAIT_MS = 2000;
constexpr DWORD HEALTH_CHECK_MS = 50;

// Input waits, or the port is gone: either way the reader must read.
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
    // Input that came while the reader read raises no new event on
    // every driver (Wine's pseudo-terminal ports remember none): it is
    // read at once, not at the next look at the queue.
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

// One notification at a time: further input joins the one that is out.
void notify(Watch* w) {
  if (notified.exchange(true)) return;
  while (!PostMessageA(w->window, WM_COMMNOTIFY, 0, 255) && WaitForSingleObject(w->stop, 10) == WAIT_TIMEOUT) {
  }
}

// Moves what the driver holds into the ring: 1 when the port ran dry, 0 when
// the ring is full, LINK_LOST when the port is gone, -1 on the stop. A read
// asks for no more than the driver holds (some drivers, Wine's among them,
// hold an empty read despite the time-outs).
int fill(Watch* w) {
  OVERLAPPED ov{};
  // The tagged event queues no completion: under Wine each read then costs
  // one call to its server less, which halves its time.
  ov.hEvent = reinterpret_cast<HANDLE>(reinterpret_cast<ULONG_PTR>(w->io) | 1);
  while (!w->stopping) {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(w->port, &errors, &stat)) return LINK_LOST;
    if (stat.cbInQue == 0) return 1;
    uint32_t room = 0;
    uint8_t* at = ringFreeRun(ring, &room);
    if (room == 0) return 0;
    const DWORD want = stat.cbInQue < room ? stat.cbInQue : room;
    DWORD got = 0;
    ResetEvent(w->io);
    if (!ReadFile(w->port, at, want, &got, &ov)) {
      if (GetLastError() != ERROR_IO_PENDING) return LINK_LOST;
      // A purge between the query and the read leaves it waiting: it is let go.
      HANDLE both[2] = {w->io, w->stop};
      const DWORD woke = WaitForMultipleObjects(2, both, FALSE, HEALTH_CHECK_MS);
      if (woke != WAIT_OBJECT_0) CancelIo(w->port);
      if (!settled(&ov)) return -1;  // the record is on this stack frame: never leave it to the driver
      if (!GetOverlappedResult(w->port, &ov, &got, FALSE)) got = 0;
      if (woke == WAIT_OBJECT_0 + 1) return -1;
    }
    ringPut(ring, got < want ? got : want);
    if (got > 0) notify(w);
  }
  return -1;
}

// A full ring: the reader waits until the main thread takes from it.
bool waitForSpace(Watch* w) {
  spaceWanted = true;
  uint32_t room = 0;
  ringFreeRun(ring, &room);
  if (room > 0) {
    spaceWanted = false;
    return true;
  }
  HANDLE both[2] = {w->space, w->stop};
  return WaitForMultipleObjects(2, both, FALSE, HEALTH_CHECK_MS) != WAIT_OBJECT_0 + 1;
}

DWORD WINAPI watch(void* arg) {
  Watch* w = static_cast<Watch*>(arg);
  while (WaitForSingleObject(w->stop, 0) == WAIT_TIMEOUT && waitForInput(w)) {
    int r;
    while ((r = fill(w)) == 0 && waitForSpace(w)) {
    }
    if (r == LINK_LOST) {
      lost = true;
      notified = false;  // the loss is told even while input is being drained
      notify(w);
      break;
    }
    if (r < 0) break;
  }
  running = false;
  return 0;
}

void release(Watch* w) {
  for (HANDLE h : {w->space, w->io, w->stop})
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
  Watch* w = new Watch{port, window, CreateEventA(nullptr, FALSE, FALSE, nullptr),
                       CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  if (!w->space || !w->io || !w->stop) {
    release(w);
    return;
  }
  if (ring.bytes.empty()) ringReset(ring, RING_BYTES);
  SetCommMask(port, EV_RXCHAR);
  notified = false;
  running = true;
  thread = CreateThread(nullptr, 8192, watch, w, 0, nullptr);
  if (!thread) {
    running = false;
    release(w);
    return;
  }
  current = w;
}

void serialWatcherAck(bool recheck) {
  notified = false;
  // Input put while the drain ended would otherwise wait for the next arrival.
  if (recheck && current && (ringHeld(ring) > 0 || lost)) notify(current);
}

int serialWatcherTake(uint8_t* buffer, int count) {
  const int n = ringTake(ring, buffer, count);
  if (n > 0 && spaceWanted.exchange(false) && current) SetEvent(current->space);
  return n;
}

int serialWatcherHeld() { return static_cast<int>(ringHeld(ring)); }
bool serialWatcherLost() { return lost; }
void serialWatcherDrop() { ringDrop(ring); }

void serialWatcherStop() {
  HANDLE port = serialPortHandle();
  if (port != INVALID_HANDLE_VALUE) SetCommMask(port, 0);
  if (current) {
    current->stopping = true;
    SetEvent(current->stop);
    forget(STOP_WAIT_MS);  // bounded: a thread that does not end in time is left to end by itself
  }
  // What the reader held belongs to the line that closes.
  ringDrop(ring);
  lost = false;
}

bool serialWatcherRunning() { return running; }
