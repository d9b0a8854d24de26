// The host's side of the session life cycle: no window, a record of the steps
// a window would show, in order, for whoever drives the frame (tests, tools).
#pragma once
#include <string>

// "online", "offline", "offline(startup)", "ended", one per step, each
// followed by a space.
std::string& frameUiSteps();
// What the next login script does: 1 it runs (the caller ends it with
// frameScriptEnd), 0 there is none (the default), negative it cannot start.
void frameUiSetLoginScript(int result);
