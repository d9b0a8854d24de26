#include "dialup/dial_machine.h"

#include <cstdio>

#include "dialup/dial_port.h"
#include "dialup/dial_ui.h"
#include "dialup/dial_texts.h"
#include "dialup/modem_commands.h"
#include "dialup/reply_class.h"
#include "shell/message_box.h"
#include "shell/program_dir.h"
#include "shell/session_profile.h"
#include "shell/pump.h"
#include "terminal/link.h"

namespace {
constexpr unsigned MODEM_RLSD = 0x80;
constexpr uint32_t COUNTDOWN_MS = 1000;
const int TIMERS[] = {DIAL_TIMER_COUNTDOWN, DIAL_TIMER_REPLY, DIAL_TIMER_NEXT, DIAL_TIMER_WAITING};

void startTimer(DialMachine& m, int id, uint32_t ms) {
  m.fired[id] = false;
  timerStart(id, ms, &m.fired[id]);
}

void stopTimer(DialMachine& m, int id) {
  timerKill(id);
  m.fired[id] = false;
}

void stopTimers(DialMachine& m) {
  for (int id : TIMERS) stopTimer(m, id);
}

// The one place the state changes.
void enter(DialMachine& m, DialState next) { m.state = next; }

void show(DialMachine& m, const char* status) {
  m.status = status;
  dialShowChanged(m);
}

void showTerminal(const std::string& text) { dialShowTerminal(text.data(), static_cast<int>(text.size())); }

int entryTimeout(const DialMachine& m) { return phoneTimeoutSeconds(*m.entry); }

void restartCountdown(DialMachine& m) {
  m.countdown = entryTimeout(m);
  startTimer(m, DIAL_TIMER_COUNTDOWN, COUNTDOWN_MS);
  dialShowChanged(m);
}

void takeEntry(DialMachine& m) {
  const std::string name = recordText(m.entry->bytes, phoneField::name);
  m.title = "Dialing " + name;
  m.number = recordText(m.entry->bytes, phoneField::phoneNumber);
}

void finish(DialMachine& m, DialEnd end) {
  stopTimers(m);
  m.list.clear();
  m.stopped = true;
  m.end = end;
  enter(m, end == DialEnd::Connected ? DialState::Connected : DialState::Ended);
  dialShowEnded(m);
}

void connected(DialMachine& m) {
  // A dial list whose entry has no script of its own runs none.
  if (m.sequential && m.runScript) {
    const std::string script = programPath(recordText(m.entry->bytes, phoneField::name) + ".scr");
    FILE* f = fopen(script.c_str(), "rb");
    if (f) fclose(f);
    else m.runScript = false;
  }
  finish(m, DialEnd::Connected);
}

void connectBeeps() {
  messageBeep();
  messageBeep();
}

// The run ends by itself: the main window tells that every attempt failed.
void giveUp(DialMachine& m) {
  m.runScript = false;
  dialPortClose();
  finish(m, DialEnd::Closed);
}

void sendReset(DialMachine& m) { modemSend(profileSlot(*m.profile, SLOT_RESET), false); }

// Sequential dialing: the next name of the list that has a number, wrapping
// to the first. One full pass without a number gives up.
void nextEntry(DialMachine& m) {
  m.attemptNumber = 0;
  show(m, "Reset");
  bool found = false;
  for (size_t step = 0; step < m.list.size() && !found; ++step) {
    m.position = (m.position + 1) % m.list.size();
    if (m.position == 0) m.attemptsLeft = 1;
    PhoneEntry loaded = *m.entry;
    if (phoneLoadEntry(m.list[m.position].c_str(), loaded) != static_cast<int>(PHONE_ENTRY_SIZE)) {
      found = true;  // a file that does not open ends the search; the entry stays as it was
      break;
    }
    if (!dialCleanNumber(recordText(loaded.bytes, phoneField::phoneNumber)).empty()) {
      *m.entry = loaded;
      found = true;
    }
  }
  // Every entry empty: the original looped here forever; one pass is enough.
  if (!found) {
    giveUp(m);
    return;
  }
  modemProfileLoad(phoneMakerIndex(*m.entry), *m.profile);
  takeEntry(m);
  dialPortClose();
  if (dialPortOpen(profileFromPhone(*m.entry).line) < 0) {
    giveUp(m);
    return;
  }
  sendReset(m);
  restartCountdown(m);
  startTimer(m, DIAL_TIMER_REPLY, 2000);
  enter(m, DialState::Reset);
  show(m, "Dialing next number");
}

// No more attempts for this entry: the next one, or the end.
void attemptsUsed(DialMachine& m) {
  if (m.sequential && !m.list.empty()) {
    nextEntry(m);
    return;
  }
  giveUp(m);
}

void toInit(DialMachine& m, uint32_t replyMs) {
  startTimer(m, DIAL_TIMER_REPLY, replyMs);
  show(m, "Initializing");
  startTimer(m, DIAL_TIMER_NEXT, 2000);
  enter(m, DialState::Init);
}

void lineComplete(DialMachine& m) {
  const std::string line = m.reply;
  m.reply.clear();
  m.collecting = false;
  stopTimer(m, DIAL_TIMER_REPLY);
  const int cls = classifyReply(*m.profile, line);
  switch (m.state) {
    case DialState::Reset:
      if (cls == REPLY_OK || cls == REPLY_CARRIER) toInit(m, 7000);
      else show(m, line.c_str());
      break;
    case DialState::Init:
      if (cls == REPLY_OK || cls == REPLY_CARRIER) {
        show(m, "Dialing");
        startTimer(m, DIAL_TIMER_NEXT, 2000);
        enter(m, DialState::Dialing);
      } else {
        show(m, line.c_str());
      }
      break;
    case DialState::Dialing:
      if (cls == REPLY_CONNECT) {
        showTerminal(line + "\r\n");
        show(m, line.c_str());
        connectBeeps();
        connected(m);
      } else if (cls < 0) {
        showTerminal(line + "\r\n");
      } else {
        m.lastStatus = line;
        dialShowChanged(m);
        if (m.attemptsLeft > 0) startTimer(m, DIAL_TIMER_NEXT, 3000);
        else attemptsUsed(m);
      }
      break;
    default:
      break;
  }
}

void dialNow(DialMachine& m) {
  ++m.attemptNumber;
  if (m.attemptNumber >= 2) m.status = "Redialing";
  restartCountdown(m);
  --m.attemptsLeft;
  modemSend(dialCommand(*m.entry, *m.profile), false);
  startTimer(m, DIAL_TIMER_WAITING, 3000);
}
}  // namespace

void dialStart(DialMachine& m) {
  stopTimers(m);
  m.reply.clear();
  m.collecting = m.crSeen = m.skipNext = false;
  m.lineStart = true;
  m.attemptNumber = 0;
  m.stopped = false;
  m.end = DialEnd::None;
  m.position = 0;
  m.lastStatus.clear();
  takeEntry(m);
  m.status = "Reset";
  m.countdown = entryTimeout(m);
  dialShowChanged(m);
  if (dialPortOpen(profileFromPhone(*m.entry).line) < 0) {
    finish(m, DialEnd::Closed);
    return;
  }
  sendReset(m);
  startTimer(m, DIAL_TIMER_COUNTDOWN, COUNTDOWN_MS);
  startTimer(m, DIAL_TIMER_REPLY, 4000);
  enter(m, DialState::Reset);
  m.attemptsLeft = m.sequential ? 1 : static_cast<int>(recordInt(m.entry->bytes, phoneField::retryCount));
}

void dialByte(DialMachine& m, uint8_t byte) {
  if (m.stopped) return;
  if (m.skipNext) {
    m.skipNext = false;
    showTerminal(std::string(1, static_cast<char>(byte)));
    m.lineStart = byte == '\r' || byte == '\n';
    return;
  }
  // Numeric replies count only as the first byte of a line: the "0" of an
  // echoed "ATZ0" or "AT&F0" is no OK.
  if (m.state == DialState::Reset && m.lineStart && (byte == '0' || byte == '4')) {
    m.skipNext = true;
    m.lineStart = false;
    if (byte == '0') toInit(m, 4000);
    else show(m, "Error");
    return;
  }
  if (byte == '\r') {
    m.crSeen = true;
    m.lineStart = true;
    return;
  }
  if (byte == '\n') {
    if (m.crSeen) {
      if (m.reply.empty()) m.collecting = true;
      else lineComplete(m);
    }
    m.crSeen = false;
    m.lineStart = true;
    return;
  }
  m.crSeen = false;
  m.lineStart = false;
  if (m.collecting && byte != 0 && m.reply.size() < DIAL_REPLY_MAX) m.reply += static_cast<char>(byte);
}

void dialModemStatus(DialMachine& m, unsigned status) {
  if (m.stopped || m.state != DialState::Dialing || !(status & MODEM_RLSD)) return;
  showTerminal(m.reply + "\r\n");
  show(m, "Connected");
  connectBeeps();
  connected(m);
}

void dialTimer(DialMachine& m, int id) {
  if (m.stopped) return;
  switch (id) {
    case DIAL_TIMER_COUNTDOWN:
      if (m.countdown > 0) --m.countdown;
      dialShowChanged(m);
      if (m.countdown > 0) {
        startTimer(m, DIAL_TIMER_COUNTDOWN, COUNTDOWN_MS);
      } else if (m.attemptsLeft > 0) {
        startTimer(m, DIAL_TIMER_NEXT, 2000);
        enter(m, DialState::Dialing);
        restartCountdown(m);
      } else {
        attemptsUsed(m);
      }
      break;
    case DIAL_TIMER_REPLY:
      if (m.state == DialState::Reset) {
        messageBeep();
        show(m, "No response from modem");
        // The old box read "No resposnde from modem".
        messageBoxTitled(0, "No response from modem", "Error", MSG_OK | MSG_ICONEXCLAMATION);
        giveUp(m);
      } else if (m.state == DialState::Init) {
        messageBeep();
        messageBox(TXT_INIT_FAILED, nullptr, MSG_OK | MSG_ICONEXCLAMATION);
        giveUp(m);
      }
      break;
    case DIAL_TIMER_NEXT:
      if (m.state == DialState::Init) modemSend(profileSlot(*m.profile, SLOT_INIT), true);
      else if (m.state == DialState::Dialing) dialNow(m);
      break;
    case DIAL_TIMER_WAITING:
      show(m, "Waiting for connection..");
      break;
    default:
      break;
  }
}

void dialRun(DialMachine& m) {
  uint8_t buffer[256];
  while (!m.stopped && dialPortIsOpen()) {
    const unsigned status = linkModemStatus();
    int n = 0;
    bool busy = false;
    while (!m.stopped && (n = linkRead(buffer, sizeof buffer)) > 0) {
      busy = true;
      int i = 0;
      while (i < n && !m.stopped) dialByte(m, buffer[i++]);
      // What the far side sent right behind the connect line is the session's.
      if (m.end == DialEnd::Connected && i < n) dialShowTerminal(reinterpret_cast<const char*>(buffer + i), n - i);
    }
    // A modem that vanished ends the run as a failed one.
    if (n == LINK_LOST && !m.stopped) {
      giveUp(m);
      break;
    }
    dialModemStatus(m, status);
    for (int id : TIMERS)
      if (m.fired[id] && !m.stopped) {
        m.fired[id] = false;
        dialTimer(m, id);
        busy = true;
      }
    if (m.stopped) break;
    const int pumped = pumpOne();
    if (pumped < 0) break;
    if (pumped == 0 && !busy) clockSleep(1);
  }
}

void dialCancel(DialMachine& m, bool user) {
  if (m.end != DialEnd::None) return;
  if (!user && dialPortIsOpen()) {
    const uint8_t blank = ' ';
    linkWrite(&blank, 1);
  }
  m.runScript = false;
  dialPortClose();
  finish(m, user ? DialEnd::UserCancel : DialEnd::Closed);
}

void dialEscape(DialMachine& m) {
  if (m.stopped) return;
  const uint8_t blank = ' ';
  linkWrite(&blank, 1);
  restartCountdown(m);
}
