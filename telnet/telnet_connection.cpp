#include "telnet/telnet_connection.h"

#include <cstdio>

#include "frame/frame_session.h"
#include "shell/book_entry.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_entry.h"
#include "telnet/telnet_terminal.h"

void telnetLineAttach() {
  telnetAttachTerminal();
  telnetState.windowSizeReporting = false;
  telnetState.terminalTypeRequested = false;
}

// The record is the Telnet program's own BookEntry.
void telnetLineEnd(uint8_t* record) {
  if (record) telnetSessionToEntry(*reinterpret_cast<BookEntry*>(record));
}

void telnetLineStatus(char* text, int size) {
  snprintf(text, static_cast<size_t>(size), "%s is connected", frameSession.profile.address);
}

bool telnetLineSpecialEnabled(int special) {
  return special == SPECIAL_TELNET_COMMAND && !frameSession.profile.rlogin;
}
