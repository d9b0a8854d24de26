#include "transfer/transfer_state.h"

#include "shell/pump.h"

static TransferState ownState;
static TransferState* current = &ownState;

TransferState& transferState() { return *current; }

void transferSelect(TransferState* s) { current = s ? s : &ownState; }

void transferClear(TransferState& s) {
  // Timers still pointing into the state must not fire into a cleared transfer.
  if (&s == current) {
    timerKill(TIMER_INACTIVITY);
    timerKill(TIMER_RESPONSE);
    timerKill(TIMER_LINE_WRITE);
  }
  fileClose(s.file);
  TransferSettings keep = s.settings;
  s = TransferState{};
  s.settings = keep;
  s.protocol = keep.protocol;
  s.lastResponseChar = -1;
  if (s.settings.maxErrors <= 0) s.settings.maxErrors = DEFAULT_MAX_ERRORS;
}

void transferBegin(TransferState& s, const TransferSettings& settings) {
  s.settings = settings;
  transferClear(s);
}
