#include "telnet/telnet_entry.h"

#include "shell/bounded_copy.h"
#include "telnet/rlogin.h"
#include "telnet/telnet_engine.h"
#include "terminal/terminal_type.h"

void telnetSessionFromEntry(const BookEntry& entry) {
  const uint8_t* r = entry.bytes;
  telnetSession.rlogin = bookProtocol(entry) == 1;
  telnetSession.binaryMode = recordInt(r, bookField::binaryMode) != 0;
  telnetSession.localEcho = recordInt(r, bookField::localEcho) != 0;
  recordText(r, bookField::terminalId, telnetSession.terminalId, sizeof telnetSession.terminalId);
  if (telnetSession.terminalId[0] == '\0') {
    copyBounded(telnetSession.terminalId, sizeof telnetSession.terminalId,
                terminalType(bookEmulation(entry)).terminalId);
  }
  char user[33];
  recordText(r, bookField::userName, user, sizeof user);
  rloginSetNames(rlogin.localUser, user);
}

void telnetSessionToEntry(BookEntry& entry) {
  recordSetInt(entry.bytes, bookField::binaryMode, telnetSession.binaryMode ? 1 : 0);
  recordSetInt(entry.bytes, bookField::localEcho, telnetSession.localEcho ? 1 : 0);
}

NetRequest netRequestFromEntry(const BookEntry& entry) {
  NetRequest request{};
  recordText(entry.bytes, bookField::address, request.address, sizeof request.address);
  request.port = bookPort(entry);
  request.rlogin = bookProtocol(entry) == 1;
  request.useFirewall = recordInt(entry.bytes, bookField::useFirewall) != 0;
  return request;
}
