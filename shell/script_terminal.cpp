#include "shell/script_terminal.h"

#include "shell/script.h"
#include "terminal/hooks.h"
#include "terminal/receive.h"

namespace {
bool running() { return scriptState.running; }
}  // namespace

void scriptAttachTerminal() {
  terminalHooks.scriptRunning = running;
  terminalHooks.scriptLineMatch = scriptLineMatch;
}

void scriptSendChar(uint8_t ch, bool secret) {
  if (secret) sendUnechoed(ch);
  else sendBytes(&ch, 1);
}
