// A sender and a receiver of ours in one process: the send runs on end 0 of
// the fault line; every pump turn of its waits gives the receiver one pass on
// end 1, each with its own TransferState. Time is the manual clock.
#pragma once
#include "transfer/transfer_state.h"

struct PairOutcome {
  int sent;       // the sender's result
  int received;   // the receive loop's result (2 complete)
  bool receiverDone;
};

// Both states must hold their settings, protocol and (sender) file or batch,
// (receiver XMODEM) localPath of a created file. Runs until both ended or the
// receiver stayed undecided for idleLimitMs after the send ended.
PairOutcome runTransferPair(TransferState& sender, TransferState& receiver, uint32_t idleLimitMs = 400000);
