#include "telnet/session_hooks.h"

namespace {
void none() {}
int nothingReceived() { return 0; }
void noEcho(bool) {}

constexpr SessionHooks idle = {none, none, none, nothingReceived, noEcho};
}  // namespace

// Filled before any code runs, so the slots are callable even before the first reset.
SessionHooks sessionHooks = idle;

void sessionHooksReset() { sessionHooks = idle; }
