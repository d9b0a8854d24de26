// The receive pass: reads blocks from the link and routes them.
#include <algorithm>

#include "terminal/display_damage.h"
#include "terminal/hooks.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/receive_state.h"
#include "terminal/surface.h"

uint8_t lastReceivedByte = 0;
bool receiveEightBit = false;
ReceiveState receiveState;

void receiveStateReset() {
  receiveState = ReceiveState{};
  lastReceivedByte = 0;
}

// Fills block with up to RECEIVE_BLOCK bytes (one more when an inserted LF
// follows a final CR). *lost is set when the link reported the remote side gone.
static int readBlock(uint8_t* block, bool* lost) {
  int held = 0;
  bool inbound = terminalOptions.inboundCrLf && !terminalHooks.zmodemCaptureActive();
  while (held < RECEIVE_BLOCK) {
    int want = inbound ? 1 : RECEIVE_BLOCK - held;
    int n = linkRead(block + held, want);
    if (n == LINK_LOST) *lost = true;
    if (n <= 0) break;
    n = std::min(n, want);  // never trust a link to stay inside the buffer
    held += n;
    lastReceivedByte = block[held - 1];
    if (inbound && block[held - 1] == '\r') block[held++] = '\n';
  }
  return held;
}

static void route(const uint8_t* block, int length) {
  if (terminalHooks.chatMode()) terminalHooks.chatBytes(block, length);
  else if (terminalOptions.displayControls) processControlsVisible(block, length);
  else processReceived(block, length);
}

int receiveAvailable() {
  if (receiveState.depth >= MAX_RECEIVE_DEPTH) {
    receiveState.requested = true;  // the outer pass reads it when it gets back
    return 0;
  }
  ++receiveState.depth;
  if (receiveState.depth == 1) {
    receiveState.backlog = false;
    // Blocks that follow each other while input waits are shown once, when
    // the pass ends: the window is current whenever the link has run dry.
    if (!receiveState.run) damageHold(true);
  }
  int result = 0;
  // A host that never stops sending must not keep the window from painting
  // and taking keys: after a bounded number of blocks the pass hands back to
  // the message loop, and the rest waits in the link for the next pass.
  for (int blocks = 1;; ++blocks) {
    // Each pass has its own block, so a nested pass cannot overwrite it.
    uint8_t block[RECEIVE_BLOCK + 1];
    bool lost = false;
    int held = readBlock(block, &lost);
    if (held > 0) route(block, held);
    if (lost) {
      result = LINK_LOST;
      break;
    }
    bool more = held >= RECEIVE_BLOCK;
    if (!more && receiveState.depth == 1 && receiveState.requested) {
      receiveState.requested = false;
      more = true;
    }
    if (!more) break;
    if (blocks >= RECEIVE_BLOCKS_PER_PASS) {
      if (receiveState.depth == 1) receiveState.backlog = true;
      break;
    }
  }
  if (receiveState.depth == 1 && !receiveState.run && damageHold(false)) surfaceShowChanges();
  --receiveState.depth;
  return result;
}

void receiveRunBegin() {
  if (receiveState.run) return;
  receiveState.run = true;
  damageHold(true);
}

void receiveRunEnd() {
  if (!receiveState.run) return;
  receiveState.run = false;
  if (damageHold(false)) surfaceShowChanges();
}

bool receiveBacklog() { return receiveState.backlog; }
