#include "frame/frame_ui_posix.h"

#include "frame/frame_session.h"
#include "frame/frame_terminal.h"
#include "frame/frame_ui.h"

namespace {
std::string steps;
int loginScript = 0;
}  // namespace

std::string& frameUiSteps() { return steps; }
void frameUiSetLoginScript(int result) { loginScript = result; }

void frameUiOnline() {
  frameApplyTerminal(frameSession.profile);
  steps += "online ";
}

int frameUiLoginScript() { return loginScript; }

void frameUiOffline(bool startup) { steps += startup ? "offline(startup) " : "offline "; }

void frameUiAttemptEnded() { steps += "ended "; }

void frameUiReceived() {}
