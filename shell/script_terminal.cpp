#include "shell/script_terminal.h"

#include "shell/script.h"
#include "terminal/hooks.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"

namespace {
bool running() { return scriptState.running; }
}  // namespace

void scriptAttachTerminal() {
  terminalHooks.scriptRunning = running;
  terminalHooks.scriptLineMatch = scriptLineMatch;
}

void scriptSendChar(uint8_t ch, bool secret) {
  if (!secret) {
    sendBytes(&ch, 1);
    return;
  }
  if (!linkConnected()) return;
  linkWrite(&ch, 1);
  if (ch == '\r' && (terminalOptions.outboundCrLf || terminalOptions.localEcho)) {
    const uint8_t lf = '\n';
    linkWrite(&lf, 1);
  }
}
