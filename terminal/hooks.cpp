#include "terminal/hooks.h"

TerminalHooks terminalHooks = {};

void hooksReset() { terminalHooks = TerminalHooks{}; }
