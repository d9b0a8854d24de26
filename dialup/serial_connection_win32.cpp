// The serial line as the frame sees it: a modem entry dialed through the dial
// dialog, a direct entry's port opened at once; the watcher's notifications
// drained through the receive pass (or into chat mode's pane) and
// acknowledged, the carrier and ring watch, the hang-up with or without modem
// commands, and the line's own commands: Break, Communication Parameters,
// Communication Status, Answer and Chat.
#include <windows.h>

#include <cstdio>

#include "dialup/chat_win32.h"
#include "dialup/comm_parameter_win32.h"
#include "dialup/comm_status_win32.h"
#include "dialup/dial_dialog_win32.h"
#include "dialup/dial_texts.h"
#include "dialup/line_watch.h"
#include "dialup/modem_commands.h"
#include "dialup/modem_hangup.h"
#include "dialup/serial_connection.h"
#include "dialup/serial_port_win32.h"
#include "dialup/serial_watcher_win32.h"
#include "frame/frame_session.h"
#include "frame/frame_win32.h"
#include "shell/message_box.h"
#include "shell/modem_profile.h"
#include "shell/phone_entry.h"
#include "shell/program_dir.h"
#include "terminal/link.h"
#include "terminal/receive.h"

namespace {
// lParam of a drain the frame asks for itself (after a transfer): the watcher
// waits for no acknowledgement of it.
constexpr LPARAM DRAIN_UNASKED = 1;
constexpr int BREAK_MS = 150;

bool dialed = false;     // the session came up through dialing: hang-up sends modem commands
bool hangingUp = false;  // the hang-up sequence runs (it serves the window meanwhile)
LineWatch watch;
std::vector<std::string> nextDialList;  // sequential dialing's names for the next dial
bool nextRunScript = false;

PhoneEntry& entry() { return *reinterpret_cast<PhoneEntry*>(frameSession.record); }

int answerMenuId() { return frameCommandId(FC_SPECIAL_ANSWER); }

void setAnswerMode(bool on, bool send) {
  watch.answerMode = on;
  if (send) modemSend(on ? "ATS0=1\r" : "ATS0=0\r", false);
  CheckMenuItem(GetMenu(frameWindow()), static_cast<UINT>(answerMenuId()), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

int lineOpen(const SessionProfile& profile) {
  if (profile.phoneType != PHONE_TYPE_NONE && frameSession.record) {
    modemProfileLoad(phoneMakerIndex(entry()), currentProfile);
    std::vector<std::string> list;
    list.swap(nextDialList);
    if (!dialDialogOpen(frameWindow(), &entry(), &currentProfile, list, nextRunScript)) return -1;
    return 0;
  }
  if (serialOpenSession(profile.line) < 0) return -1;
  dialed = false;
  watch.carrierSeen = false;
  frameEstablished();
  // A direct line answers calls when its entry says so.
  setAnswerMode(profile.autoAnswer, profile.autoAnswer);
  return 0;
}

// Hang-up: a dialed modem is told to hang up first (the window disabled and
// served meanwhile), then the port goes (its watcher with it), then the
// session. A lost carrier or port skips the modem commands.
void hangUp(bool modemCommands) {
  if (hangingUp || !serialSessionOpen()) return;
  hangingUp = true;
  if (modemCommands && dialed) {
    EnableWindow(frameWindow(), FALSE);
    modemHangup(currentProfile);
  }
  dialed = false;
  serialCloseSession();
  EnableWindow(frameWindow(), TRUE);
  hangingUp = false;
  frameLost();
}

void lineClose() { hangUp(true); }

// The dial dialog ended: the session opens, or the user hears why not.
void dialEnded(WPARAM userCancelled) {
  bool runScript = false;
  const bool connected = dialDialogClose(&runScript) && serialSessionOpen();
  if (!connected) {
    frameAttemptEnded();
    if (!userCancelled) {
      MessageBeep(0);
      messageBox(TXT_ALL_ATTEMPTS, nullptr, MSG_OK | MSG_ICONEXCLAMATION);
    }
    return;
  }
  dialed = true;
  watch.carrierSeen = false;
  if (runScript) {
    const std::string script = programPath(recordText(entry().bytes, phoneField::name) + ".scr");
    if (FILE* f = fopen(script.c_str(), "rb")) {
      fclose(f);
      frameSetSessionScript(script);
    }
  }
  frameEstablished();
}

bool dialing() { return dialDialog() != nullptr; }

void postUntilPosted(LPARAM lParam) {
  // The queue may be full for a moment; the notification must not be lost.
  for (int tries = 0; tries < 100 && !PostMessageA(frameWindow(), WM_COMMNOTIFY, 0, lParam); ++tries) Sleep(10);
}

// A stream keeps coming while it is drained, a few kilobytes at a time.
// Waiting a moment for the next part costs less than a round through the
// watcher and the message queue, and a pass is worth its fixed cost only over
// a whole block: a part smaller than one gets a moment to grow, unless it
// stopped growing. The drain still gives the window its turn every few ms.
constexpr uint32_t DRAIN_SLICE_MS = 8;
bool moreArriving(uint32_t since) {
  int before = 0;
  while (GetTickCount() - since < DRAIN_SLICE_MS) {
    int waiting = 0;
    if (linkPoll(&waiting, nullptr) < 0 || waiting >= RECEIVE_BLOCK) return true;
    if (waiting > 0 && waiting == before) return true;
    before = waiting;
    Sleep(1);
  }
  return before > 0;
}

// Chat mode: what came goes to the remote pane instead of the terminal.
int drainToChat() {
  uint8_t block[RECEIVE_BLOCK];
  int n;
  while ((n = linkRead(block, sizeof block)) > 0) chatReceived(frameWindow(), block, n, serialEightBitLine());
  return n;
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
    result = chatOn() && frameOnline() && !frameSession.scriptRunning ? drainToChat() : frameDataWaiting();
    if (result == LINK_LOST) break;
    if (GetTickCount() - start >= DRAIN_SLICE_MS) {
      more = true;
      break;
    }
    // A pass stopped at its bound left input waiting: the next pass takes it
    // within the slice, without a round through the message loop.
    if (!receiveBacklog() && !moreArriving(start)) break;
  }
  receiveRunEnd();
  // The port ran dry: the modem's lines tell a lost carrier and a ring.
  if (result != LINK_LOST && !more && serialSessionOpen()) result = lineWatchIdle(watch, linkModemStatus());
  if (result == LINK_LOST) {
    hangUp(false);
    if (lParam != DRAIN_UNASKED) serialWatcherAck(false);
    return;
  }
  if (more) {
    PostMessageA(frameWindow(), WM_COMMNOTIFY, 0, lParam);
    return;
  }
  if (lParam != DRAIN_UNASKED) serialWatcherAck(!frameSession.transferRunning);
}

bool message(unsigned m, uintptr_t wp, intptr_t lp) {
  if (m == WM_DIAL_ENDED) {
    dialEnded(wp);
    return true;
  }
  if (chatMessage(frameWindow(), m, wp)) return true;
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

uintptr_t dialogOfLine() { return reinterpret_cast<uintptr_t>(dialDialog()); }

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

bool specialEnabled(int special) { return special != SPECIAL_TELNET_COMMAND; }

void special(int which, uintptr_t owner) {
  HWND window = reinterpret_cast<HWND>(owner);
  switch (which) {
    case SPECIAL_BREAK: serialBreak(BREAK_MS); break;
    case SPECIAL_COMM_PARAMETERS: commParameterDialog(window, frameSession.profile.line); break;
    case SPECIAL_COMM_STATUS: commStatusDialog(window); break;
    case SPECIAL_ANSWER: setAnswerMode(!watch.answerMode, serialSessionOpen()); break;
    case SPECIAL_CHAT: chatToggle(window, frameCommandId(FC_SPECIAL_CHAT)); break;
    default: break;
  }
}
}  // namespace

void serialDialNext(const std::vector<std::string>& list, bool runScript) {
  nextDialList = list;
  nextRunScript = runScript;
}

const FrameConnection SERIAL_CONNECTION = {
    "serial",      WM_COMMNOTIFY, lineOpen,   lineClose,       dialing,  message,        dialogOfLine, transferBegin,
    transferEnd,   attach,        sessionStart, sessionEnd, noSize, statusText, specialEnabled, special,
};
