#include "telnet/telnet_engine.h"

#include <cstring>

#include "telnet/rlogin.h"
#include "terminal/link.h"

TelnetState telnetState = {false, 0, false, false};
TelnetSession telnetSession = {false, false, false, "vt100", 80, 24};
void (*telnetLocalEchoChanged)(bool on) = nullptr;

namespace {
// A failed send means the connection is gone; the link reports that itself.
void send(const uint8_t* bytes, int length) { linkWrite(bytes, length); }

void sendVerb(uint8_t verb, uint8_t option) {
  const uint8_t bytes[3] = {TN_IAC, verb, option};
  send(bytes, 3);
}

void setLocalEcho(bool on) {
  telnetSession.localEcho = on;
  if (telnetLocalEchoChanged) telnetLocalEchoChanged(on);
}

// Appends b, doubling an IAC so that it cannot end the subnegotiation early.
int putEscaped(uint8_t* out, int at, uint8_t b) {
  out[at++] = b;
  if (b == TN_IAC) out[at++] = TN_IAC;
  return at;
}

// Answers an option byte; returns whether command mode stays on.
bool answerOption(uint8_t verb, uint8_t option) {
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
      return false;
    case OPT_ECHO:  // remote echo; also the SEND code after SB TERMINAL-TYPE
      if (verb == TN_WILL) setLocalEcho(false);
      else if (verb == TN_WONT) setLocalEcho(true);
      else if (verb == TN_DO) sendVerb(TN_WONT, OPT_ECHO);
      else if (verb == OPT_TERMINAL_TYPE) telnetState.terminalTypeRequested = true;
      return false;
    case OPT_SGA:  // go-ahead suppressed both ways, a refusal gets the offer again
      if (verb == TN_DO || verb == TN_DONT) sendVerb(TN_WILL, OPT_SGA);
      else if (verb == TN_WILL || verb == TN_WONT) sendVerb(TN_DO, OPT_SGA);
      return false;
    case OPT_STATUS:
      if (verb == TN_WILL || verb == TN_WONT) sendVerb(TN_DONT, OPT_STATUS);
      else if (verb == TN_DO || verb == TN_DONT) sendVerb(TN_WONT, OPT_STATUS);
      return false;
    case OPT_TIMING_MARK:
      if (verb == TN_WILL) sendVerb(TN_DONT, OPT_TIMING_MARK);
      else if (verb == TN_DO) sendVerb(TN_WONT, OPT_TIMING_MARK);
      return false;
    case OPT_TERMINAL_TYPE:
      if (verb == TN_DO) sendVerb(TN_WILL, OPT_TERMINAL_TYPE);
      return verb == TN_SB;  // after SB the SEND code follows
    case OPT_NAWS:
      if (verb == TN_DO || verb == TN_WILL) {
        telnetState.windowSizeReporting = true;
        telnetReportWindowSize();
      } else {
        telnetState.windowSizeReporting = false;
      }
      return false;
    default:  // anything else is refused
      if (verb == TN_DO || verb == TN_DONT) sendVerb(TN_WONT, option);
      else if (verb == TN_WILL || verb == TN_WONT) sendVerb(TN_DONT, option);
      return false;
  }
}
}  // namespace

void telnetResetForConnection() { telnetState = {false, 0, false, false}; }

void telnetStartCommand() {
  telnetState.inCommand = true;
  telnetState.lastCommandByte = TN_IAC;
}

int telnetCommandByte(uint8_t b) {
  const uint8_t last = telnetState.lastCommandByte;
  telnetState.lastCommandByte = b;
  bool stays = false;
  int data = -1;
  switch (b) {
    case TN_IAC:  // doubled IAC, or the option 255 after a verb
      if (last == TN_IAC) data = TN_IAC;
      else if (last == TN_DO) sendVerb(TN_WILL, TN_IAC);
      else if (last == TN_WILL) sendVerb(TN_DO, TN_IAC);
      else if (last == TN_DONT) sendVerb(TN_WONT, TN_IAC);
      else if (last == TN_WONT) sendVerb(TN_DONT, TN_IAC);
      else stays = true;
      break;
    case TN_WILL: case TN_WONT: case TN_DO: case TN_DONT:  // remember the verb
    case TN_SB:
      stays = true;
      break;
    case TN_SE:  // end of subnegotiation
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
    default:  // an option byte, read against the verb before it
      stays = answerOption(last, b);
      break;
  }
  if (!stays) telnetState.inCommand = false;
  return data;
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
