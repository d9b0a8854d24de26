#include "telnet/telnet_engine.h"

#include <cstring>

#include "telnet/rlogin.h"
#include "terminal/keymap.h"
#include "terminal/link.h"
#include "terminal/options.h"

TelnetState telnetState = {TELNET_DATA, 0, false, false, {}};
TelnetSession telnetSession = {false, false, false, "vt100", 80, 24};

namespace {
// A failed send means the connection is gone; the link reports that itself.
void send(const uint8_t* bytes, int length) { linkWrite(bytes, length); }

// Set while a refusal repeats the one last answered for its option.
bool quiet = false;

void sendVerb(uint8_t verb, uint8_t option) {
  if (quiet) return;
  const uint8_t bytes[3] = {TN_IAC, verb, option};
  send(bytes, 3);
}

// The one place the command reader changes phase.
void enter(TelnetPhase phase, uint8_t verb = 0) {
  telnetState.phase = phase;
  telnetState.verb = verb;
}

void setLocalEcho(bool on) {
  telnetSession.localEcho = on;
  terminalOptions.localEcho = on;
}

// Appends b, doubling an IAC so that it cannot end the subnegotiation early.
int putEscaped(uint8_t* out, int at, uint8_t b) {
  out[at++] = b;
  if (b == TN_IAC) out[at++] = TN_IAC;
  return at;
}

bool isVerb(uint8_t b) { return b == TN_WILL || b == TN_WONT || b == TN_DO || b == TN_DONT; }

// The fixed answer to an option byte after WILL, WONT, DO or DONT.
void answerByTable(uint8_t verb, uint8_t option) {
  switch (option) {
    case OPT_BINARY:  // binary transmission
      if (verb == TN_DO && !telnetSession.binaryMode) {
        sendVerb(TN_WILL, OPT_BINARY);
        telnetSession.binaryMode = true;
      } else if (verb == TN_DONT && telnetSession.binaryMode) {
        telnetSession.binaryMode = false;
        sendVerb(TN_WONT, OPT_BINARY);
      } else if (verb == TN_WILL) {
        telnetSession.binaryMode = true;
      } else if (verb == TN_WONT) {
        telnetSession.binaryMode = false;
      }
      break;
    case OPT_ECHO:  // remote echo
      if (verb == TN_WILL) setLocalEcho(false);
      else if (verb == TN_WONT) setLocalEcho(true);
      else if (verb == TN_DO) sendVerb(TN_WONT, OPT_ECHO);
      break;
    case OPT_SGA:  // go-ahead suppressed both ways, a refusal gets the offer again
      if (verb == TN_DO || verb == TN_DONT) sendVerb(TN_WILL, OPT_SGA);
      else sendVerb(TN_DO, OPT_SGA);
      break;
    case OPT_STATUS:
      if (verb == TN_WILL || verb == TN_WONT) sendVerb(TN_DONT, OPT_STATUS);
      else sendVerb(TN_WONT, OPT_STATUS);
      break;
    case OPT_TIMING_MARK:
      if (verb == TN_WILL) sendVerb(TN_DONT, OPT_TIMING_MARK);
      else if (verb == TN_DO) sendVerb(TN_WONT, OPT_TIMING_MARK);
      break;
    case OPT_TERMINAL_TYPE:
      if (verb == TN_DO) sendVerb(TN_WILL, OPT_TERMINAL_TYPE);
      break;
    case OPT_NAWS:
      telnetState.windowSizeReporting = verb == TN_DO || verb == TN_WILL;
      if (telnetState.windowSizeReporting) telnetReportWindowSize();
      break;
    case TN_IAC:  // option 255 is agreed to, unlike every other unknown one
      if (verb == TN_DO) sendVerb(TN_WILL, TN_IAC);
      else if (verb == TN_WILL) sendVerb(TN_DO, TN_IAC);
      else if (verb == TN_DONT) sendVerb(TN_WONT, TN_IAC);
      else sendVerb(TN_DONT, TN_IAC);
      break;
    default:  // anything else is refused
      if (verb == TN_DO || verb == TN_DONT) sendVerb(TN_WONT, option);
      else sendVerb(TN_DONT, option);
      break;
  }
}

// The answer to an option byte. A refusal of what was just refused in the
// same way changes what it changes but gets no reply: a peer that answers
// refusals as we do (a refused SGA offered again, WONT answered by DONT)
// would otherwise loop with us for ever.
void answerOption(uint8_t verb, uint8_t option) {
  const bool refusal = verb == TN_WONT || verb == TN_DONT;
  quiet = refusal && telnetState.lastRefusal[option] == verb;
  telnetState.lastRefusal[option] = refusal ? verb : 0;
  answerByTable(verb, option);
  quiet = false;
}

// An option-range byte (below SE) with no verb before it: right after IAC, as
// the option of SB, or as the code after SB TERMINAL-TYPE. Only the named
// cases do anything; every other such byte is dropped and the command ends.
void optionWithoutVerb(uint8_t b) {
  // Any NAWS that is not agreed to (here: not after DO or WILL) stops the reports.
  if (b == OPT_NAWS) telnetState.windowSizeReporting = false;
  // SB TERMINAL-TYPE stays in command mode for its SEND code.
  if (telnetState.phase == TELNET_SB && b == OPT_TERMINAL_TYPE) {
    enter(TELNET_SB_TTYPE);
    return;
  }
  // SEND is remembered and answered at SE; what lies between is shown as data.
  if (telnetState.phase == TELNET_SB_TTYPE && b == TTYPE_SEND) telnetState.terminalTypeRequested = true;
  // Any other subnegotiation ends at its option: its bytes reach the screen and
  // its closing IAC SE is read as a command.
  enter(TELNET_DATA);
}
}  // namespace

void telnetResetForConnection() {
  telnetState = {TELNET_DATA, 0, false, false, {}};
  keyboard.rloginRaw = false;  // every Rlogin connection starts cooked
}

void telnetDataMode() { enter(TELNET_DATA); }

void telnetStartCommand() { enter(TELNET_IAC); }

int telnetCommandByte(uint8_t b) {
  const TelnetPhase phase = telnetState.phase;
  if (b == TN_IAC) {
    // IAC IAC is one data byte 255.
    if (phase == TELNET_IAC || phase == TELNET_DATA) {
      enter(TELNET_DATA);
      return TN_IAC;
    }
    // After a verb, 255 is the option.
    if (phase == TELNET_VERB) {
      answerOption(telnetState.verb, TN_IAC);
      enter(TELNET_DATA);
      return -1;
    }
    // Inside a subnegotiation an IAC opens a command again.
    enter(TELNET_IAC);
    return -1;
  }
  if (isVerb(b)) {
    enter(TELNET_VERB, b);  // a verb replaces any verb before it
    return -1;
  }
  switch (b) {
    case TN_SB:
      enter(TELNET_SB);
      return -1;
    case TN_SE:  // end of subnegotiation: the terminal type if it was asked for
      if (telnetState.terminalTypeRequested) {
        uint8_t reply[38];
        send(reply, telnetTerminalTypeReply(telnetSession.terminalId, reply));
        telnetState.terminalTypeRequested = false;
      }
      break;
    case TN_AYT: {  // are you there
      const uint8_t nop[2] = {TN_IAC, TN_NOP};
      send(nop, 2);
      break;
    }
    case TN_NOP: case TN_DM: case TN_BRK: case TN_IP: case TN_AO:
    case TN_EC: case TN_EL: case TN_GA:
      break;
    default:  // an option byte
      if (phase != TELNET_VERB) {
        optionWithoutVerb(b);
        return -1;
      }
      answerOption(telnetState.verb, b);
      break;
  }
  enter(TELNET_DATA);
  return -1;
}

void telnetOnConnected() {
  if (telnetSession.rlogin) {
    rloginSendHandshake();
    return;
  }
  sendVerb(TN_WILL, OPT_NAWS);
  if (!telnetSession.localEcho) sendVerb(TN_DO, OPT_ECHO);
  if (telnetSession.binaryMode) sendVerb(TN_DO, OPT_BINARY);
}

void telnetReportWindowSize() {
  if (!telnetState.windowSizeReporting) return;
  if (telnetSession.rlogin) {
    rloginSendWindowSize();
    return;
  }
  uint8_t report[11];
  send(report, telnetWindowSizeReport(telnetSession.columns, telnetSession.rows, report));
}

int telnetWindowSizeReport(int columns, int rows, uint8_t out[11]) {
  int n = 0;
  out[n++] = TN_IAC;
  out[n++] = TN_SB;
  out[n++] = OPT_NAWS;
  out[n++] = 0;
  n = putEscaped(out, n, static_cast<uint8_t>(columns & 0xFF));
  out[n++] = 0;
  n = putEscaped(out, n, static_cast<uint8_t>(rows & 0xFF));
  out[n++] = TN_IAC;
  out[n++] = TN_SE;
  return n;
}

int telnetTerminalTypeReply(const char* id, uint8_t out[38]) {
  int n = 0;
  out[n++] = TN_IAC;
  out[n++] = TN_SB;
  out[n++] = OPT_TERMINAL_TYPE;
  out[n++] = 0;  // IS
  for (int i = 0; id && i < 15 && id[i]; ++i) n = putEscaped(out, n, static_cast<uint8_t>(id[i]));
  out[n++] = TN_IAC;
  out[n++] = TN_SE;
  return n;
}

const char* const telnetUserCommandNames[TELNET_USER_COMMANDS] = {
    "EOF", "Suspend", "Abort Process", "EOR", "End of Sub-negotiation",
    "NOP", "Data mark", "Break", "Interrupt Process", "Abort output",
    "Are you there", "Erase char func", "Erase line func", "Go ahead", "Sub-negotiation"};

int telnetSendUserCommand(int index) {
  if (index < 0 || index >= TELNET_USER_COMMANDS) return -1;
  const uint8_t bytes[2] = {TN_IAC, static_cast<uint8_t>(236 + index)};
  return linkWrite(bytes, 2);
}
