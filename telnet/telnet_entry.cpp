#include "telnet/telnet_entry.h"

#include "shell/bounded_copy.h"
#include "telnet/rlogin.h"
#include "telnet/telnet_engine.h"
#include "terminal/terminal_type.h"

void telnetSessionFromProfile(const SessionProfile& p) {
  telnetSession.rlogin = p.rlogin;
  telnetSession.binaryMode = p.binaryMode;
  telnetSession.localEcho = p.localEcho;
  copyBounded(telnetSession.terminalId, sizeof telnetSession.terminalId,
              p.terminalId[0] ? p.terminalId : terminalType(p.emulation).terminalId);
  rloginSetNames(rlogin.localUser, p.userName);
}

void telnetSessionToEntry(BookEntry& entry) {
  recordSetInt(entry.bytes, bookField::binaryMode, telnetSession.binaryMode ? 1 : 0);
  recordSetInt(entry.bytes, bookField::localEcho, telnetSession.localEcho ? 1 : 0);
}

NetRequest netRequestFromProfile(const SessionProfile& p) {
  NetRequest request{};
  copyBounded(request.address, sizeof request.address, p.address);
  request.port = p.port;
  request.rlogin = p.rlogin;
  request.useFirewall = p.useFirewall;
  return request;
}
