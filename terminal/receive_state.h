// State of the receive pass kept between calls (internal to the byte path).
#pragma once

// Passes that may be active at once: the outer one and one entered while a
// reply or an echo is being written (a socket write dispatches messages).
constexpr int MAX_RECEIVE_DEPTH = 2;

struct ReceiveState {
  int depth;           // receive passes running now
  bool requested;      // a pass was refused for depth; the outer one reads again
  bool backlog;        // the last outer pass stopped at its block bound
};

extern ReceiveState receiveState;
void receiveStateReset();
