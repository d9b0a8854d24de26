// The session life cycle of a terminal program, the same for every kind of
// line: offline, opening, online, and back. The line reports upward through
// the four functions at the end; what the user sees of each step goes
// through frame_ui.h, whose Win32 half is the main window.
#pragma once
#include <cstdint>

#include "frame/connection.h"
#include "shell/session_profile.h"

enum class FrameState {
  Offline,  // no session and no attempt
  Opening,  // the line is being opened (look-up, connect)
  Online,   // the session is up
};

struct FrameSession {
  FrameState state = FrameState::Offline;
  const FrameConnection* connection = &IDLE_CONNECTION;  // never null
  SessionProfile profile{};                              // of the session being opened or up
  uint32_t connectStart = 0;                              // clockTicks() when it came up
  bool transferRunning = false;                           // a transfer reads the line itself
  bool scriptRunning = false;                             // a script reads the line itself
  bool offlineOnce = false;                               // the first offline switch is the start-up one
  uint8_t* record = nullptr;                              // the program's session record, or none
};
extern FrameSession frameSession;

// Program start (and tests): offline with connection, nothing running;
// record is the program's session record that the line writes back into.
void frameReset(const FrameConnection* connection, uint8_t* record);
// The offline switch of the main window's creation, which shows no box.
void frameStartOffline();
// Opens a session for profile. While a session is up or being opened: stop
// beep, message 10 "You must hang up first", -1. Else the connection's result.
int frameOpen(const SessionProfile& profile);
// The user ends the session (or the attempt).
void frameClose();
bool frameOnline();
// The line is handed to a transfer and back.
void frameTransferBegin();
void frameTransferEnd();
// The login script ended: success goes on with the line's opening, failure
// ends the session.
void frameScriptEnd(bool success);
// "hh:mm:ss" of the time online; "" in the first second, when nothing changes.
void frameClockText(char* text, int size);

// Upward, from the connection:
void frameEstablished();   // the line is up
void frameLost();          // the line is gone after being up (once per session)
void frameAttemptEnded();  // an attempt ended without a session
// Received data waits: the receive pass, unless a transfer or a script reads
// the line itself. Returns LINK_LOST when the link reported the loss.
int frameDataWaiting();
