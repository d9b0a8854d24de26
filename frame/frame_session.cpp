#include "frame/frame_session.h"

#include <cstdio>

#include "frame/frame_texts.h"
#include "frame/frame_ui.h"
#include "shell/message_box.h"
#include "shell/pump.h"
#include "terminal/link.h"
#include "terminal/receive.h"

FrameSession frameSession;

namespace {
FrameSession& S = frameSession;

void noneVoid() {}
int noneOpen(const SessionProfile&) { return -1; }
bool noneBool() { return false; }
bool noneMessage(unsigned, uintptr_t, intptr_t) { return false; }
uintptr_t noneWindow() { return 0; }
void noneRecord(uint8_t*) {}
void noneSize(int, int) {}
void noneText(char* text, int size) {
  if (size > 0) text[0] = '\0';
}
bool noneSpecialEnabled(int) { return false; }
void noneSpecial(int, uintptr_t) {}

// The one place the state changes.
void enter(FrameState next) { S.state = next; }
}  // namespace

const FrameConnection IDLE_CONNECTION = {
    "none",   0,          noneOpen,   noneVoid, noneBool, noneMessage,        noneWindow,  noneVoid, noneVoid,
    noneVoid, noneVoid,   noneRecord, noneSize, noneText, noneSpecialEnabled, noneSpecial,
};

void frameReset(const FrameConnection* connection, uint8_t* record) {
  S = FrameSession{};
  S.connection = connection ? connection : &IDLE_CONNECTION;
  S.record = record;
}

namespace {
// Every offline switch but the first of the process shows the disconnect box.
void showOffline() {
  bool startup = !S.offlineOnce;
  S.offlineOnce = true;
  frameUiOffline(startup);
}
}  // namespace

void frameStartOffline() { showOffline(); }

int frameOpen(const SessionProfile& profile) {
  if (S.state != FrameState::Offline) {
    messageBeep();
    messageBox(TXT_HANG_UP_FIRST, nullptr, MSG_OK | MSG_ICONSTOP);
    return -1;
  }
  S.profile = profile;
  enter(FrameState::Opening);
  int result = S.connection->open(S.profile);
  // A line that failed at once may or may not have said so; either way it is offline.
  if (result < 0 && S.state == FrameState::Opening) enter(FrameState::Offline);
  return result;
}

void frameClose() { S.connection->close(); }

bool frameOnline() { return S.state == FrameState::Online; }

void frameTransferBegin() {
  if (S.transferRunning) return;
  S.transferRunning = true;
  S.connection->transferBegin();
}

void frameTransferEnd() {
  if (!S.transferRunning) return;
  S.transferRunning = false;
  S.connection->transferEnd();
}

void frameScriptEnd(bool success) {
  if (!S.scriptRunning) return;
  S.scriptRunning = false;
  if (!success) {
    frameClose();
    return;
  }
  if (S.state == FrameState::Online) S.connection->sessionStart();
}

void frameClockText(char* text, int size) {
  uint32_t seconds = (clockTicks() - S.connectStart) / 1000;
  if (S.state != FrameState::Online || seconds == 0) {
    if (size > 0) text[0] = '\0';
    return;
  }
  snprintf(text, static_cast<size_t>(size), "%02u:%02u:%02u", static_cast<unsigned>(seconds / 3600 % 100),
           static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
}

void frameEstablished() {
  if (S.state == FrameState::Online) return;
  enter(FrameState::Online);
  S.connectStart = clockTicks();
  S.transferRunning = false;
  frameUiOnline();
  S.connection->attach();
  // A login script reads the line first; the line's opening waits for its end.
  int script = frameUiLoginScript();
  if (script > 0) {
    S.scriptRunning = true;
    return;
  }
  if (script < 0) {
    frameClose();
    return;
  }
  S.connection->sessionStart();
}

void frameLost() {
  if (S.state != FrameState::Online) return;
  enter(FrameState::Offline);
  S.transferRunning = false;
  S.scriptRunning = false;
  S.connection->sessionEnd(S.record);
  showOffline();
}

void frameAttemptEnded() {
  if (S.state == FrameState::Opening) enter(FrameState::Offline);
  frameUiAttemptEnded();
}

int frameDataWaiting() {
  // A running script or transfer reads the line itself: reading here would
  // take bytes away from its wait.
  if (S.state != FrameState::Online || S.scriptRunning || S.transferRunning) return 0;
  int result = receiveAvailable();
  frameUiReceived();
  return result;
}
