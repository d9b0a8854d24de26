// The serial line as the frame sees it: the session port opened with the
// entry's line settings, the watcher's notifications drained through the
// receive pass and acknowledged, the direct session open on timer 3, Break
// and the Communication Parameter dialog.
#include <windows.h>

#include <cstdio>

#include "dialup/comm_parameter_win32.h"
#include "dialup/serial_connection.h"
#include "dialup/serial_port_win32.h"
#include "dialup/serial_watcher_win32.h"
#include "frame/frame_session.h"
#include "frame/frame_win32.h"
#include "terminal/link.h"
#include "terminal/receive.h"

namespace {
// lParam of a drain the frame asks for itself (after a transfer): the watcher
// waits for no acknowledgement of it.
constexpr LPARAM DRAIN_UNASKED = 1;
constexpr int BREAK_MS = 150;

int lineOpen(const SessionProfile& profile) {
  if (serialOpenSession(profile.line) < 0) return -1;
  frameEstablished();
  return 0;
}

// Hang-up: the port goes (its watcher with it), then the session.
void lineClose() {
  if (!serialSessionOpen()) return;
  serialCloseSession();
  frameLost();
}

bool never() { return false; }

void postUntilPosted(LPARAM lParam) {
  // The queue may be full for a moment; the notification must not be lost.
  for (int tries = 0; tries < 100 && !PostMessageA(frameWindow(), WM_COMMNOTIFY, 0, lParam); ++tries) Sleep(10);
}

// A stream fills the port again while it is drained, a few kilobytes at a
// time (a pseudo-terminal hands over at most 4 KiB a read). Waiting a moment
// for the next part costs less than a round through the watcher and the
// message queue; the drain still gives the window its turn every few ms.
constexpr uint32_t DRAIN_SLICE_MS = 8;
bool moreArriving(uint32_t since) {
  while (GetTickCount() - since < DRAIN_SLICE_MS) {
    int waiting = 0;
    if (linkPoll(&waiting, nullptr) < 0 || waiting > 0) return true;
    Sleep(1);
  }
  return false;
}

// Received input: receive passes while it streams; a pass stopped at its
// bound by a flood, or a slice used up, goes on after the message loop's turn
// (keys and painting stay served), and only when the port ran dry may the
// watcher wait again. A transfer reads the line itself: its notifications are
// only acknowledged. A lost port hangs up at once, as a lost carrier does.
void drain(LPARAM lParam) {
  uint32_t start = GetTickCount();
  int result = 0;
  bool more = false;
  receiveRunBegin();
  while (!frameSession.transferRunning && serialSessionOpen()) {
    result = frameDataWaiting();
    if (result == LINK_LOST) break;
    if (receiveBacklog() || GetTickCount() - start >= DRAIN_SLICE_MS) {
      more = true;
      break;
    }
    if (!moreArriving(start)) break;
  }
  receiveRunEnd();
  if (result == LINK_LOST) {
    lineClose();
    return;
  }
  if (more) {
    PostMessageA(frameWindow(), WM_COMMNOTIFY, 0, lParam);
    return;
  }
  if (lParam != DRAIN_UNASKED) serialWatcherAck();
}

bool message(unsigned m, uintptr_t wp, intptr_t lp) {
  if (m == WM_COMMNOTIFY) {
    if (lp == 0) {
      if (serialSessionOpen()) serialWatcherStart(frameWindow());
    } else {
      drain(static_cast<LPARAM>(lp));
    }
    return true;
  }
  if (m == WM_TIMER && wp == SERIAL_TIMER_DIRECT_OPEN) {
    KillTimer(frameWindow(), SERIAL_TIMER_DIRECT_OPEN);
    frameOpenSession();
    return true;
  }
  return false;
}

uintptr_t noDialog() { return 0; }

void transferBegin() {}
// What came in while the transfer had the line and it left unread is shown now.
void transferEnd() { PostMessageA(frameWindow(), WM_COMMNOTIFY, 0, DRAIN_UNASKED); }

// The port itself tells the byte path whether bit 7 is kept (an 8-bit line).
void attach() {}

// The watcher starts from the message loop, as a restarted one does.
void sessionStart() { postUntilPosted(0); }

void sessionEnd(uint8_t*) {}
void noSize(int, int) {}

void statusText(char* text, int size) {
  char line[64];
  serialLineText(frameSession.profile.line, line, sizeof line);
  snprintf(text, static_cast<size_t>(size), "%s is connected to %s", frameSession.profile.name, line);
}

bool specialEnabled(int special) { return special == SPECIAL_BREAK || special == SPECIAL_COMM_PARAMETERS; }

void special(int which, uintptr_t owner) {
  if (which == SPECIAL_BREAK) serialBreak(BREAK_MS);
  if (which == SPECIAL_COMM_PARAMETERS) commParameterDialog(reinterpret_cast<HWND>(owner), frameSession.profile.line);
}
}  // namespace

const FrameConnection SERIAL_CONNECTION = {
    "serial",      WM_COMMNOTIFY, lineOpen,   lineClose,       never,    message,        noDialog, transferBegin,
    transferEnd,   attach,        sessionStart, sessionEnd, noSize, statusText, specialEnabled, special,
};
