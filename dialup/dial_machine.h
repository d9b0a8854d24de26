// Dialing a phone entry: reset, initialise, dial, redial, and in sequential
// dialing the next entry of the dial list, until the modem connects, the
// attempts run out or the user cancels. The machine reads and writes through
// the link, takes time from the pump and clock (its timers only set flags
// that its loop tests) and opens the port through dial_port.h, so a host test
// drives it on a manual clock against scripted modem replies.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "shell/modem_profile.h"
#include "shell/phone_entry.h"

enum class DialState {
  Idle,
  Reset,     // the reset string was sent
  Init,      // waiting to send, or for the answer to, the initialisation string
  Dialing,   // dial command sent or about to be
  Connected, // the modem connected: the session opens
  Ended,     // cancelled, or given up
};

// How the dial run ended, as the main window is told.
enum class DialEnd {
  None,
  Connected,
  UserCancel,  // the Cancel button
  Closed,      // the close box, or the machine gave up by itself
};

// The dialog's timers, by the numbers the dialog gives them.
enum DialTimer { DIAL_TIMER_COUNTDOWN = 2, DIAL_TIMER_REPLY = 3, DIAL_TIMER_NEXT = 14, DIAL_TIMER_WAITING = 28 };

constexpr int DIAL_REPLY_MAX = 255;  // longer reply lines are cut

struct DialMachine {
  DialState state = DialState::Idle;
  DialEnd end = DialEnd::None;
  PhoneEntry* entry = nullptr;     // the current entry: sequential dialing loads each into it
  ModemProfile* profile = nullptr; // the current profile: loaded for each entry
  bool sequential = false;
  std::vector<std::string> list;   // sequential dialing: entry names, in order
  size_t position = 0;
  bool runScript = false;          // the entry's script after connecting; cleared where it cannot run
  int countdown = 0;
  int attemptsLeft = 0;
  int attemptNumber = 0;
  bool stopped = false;
  // The reply line: collected between a CR LF and the next CR LF.
  std::string reply;
  bool collecting = false;
  bool crSeen = false;
  bool lineStart = true;           // the next byte is the first of a line
  bool skipNext = false;           // the CR after a numeric reply goes to the terminal
  // What the dialog shows.
  std::string title, number, status, lastStatus;
  // Timer flags, set by the clock.
  volatile bool fired[29] = {};
};

// Opens the dial run for m.entry (and m.list in sequential dialing): the port
// opened, the reset string sent, the timers started. A port that does not open
// ends the run at once (DialEnd::Closed).
void dialStart(DialMachine& m);
// The read loop: rounds of modem status, received bytes, timers and one
// dispatched message, until the run ends or the port closes.
void dialRun(DialMachine& m);
// One received byte.
void dialByte(DialMachine& m, uint8_t byte);
// After a round's bytes: the carrier raised in state 3 connects.
void dialModemStatus(DialMachine& m, unsigned status);
// A timer that fired.
void dialTimer(DialMachine& m, int id);
// The Cancel button (user) or the close box (not user): the close box first
// writes a blank, which aborts a dial in progress; then the port is closed.
void dialCancel(DialMachine& m, bool user);
// The Escape key: a blank to the modem and the countdown restarted.
void dialEscape(DialMachine& m);
