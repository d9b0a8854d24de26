#include "tests/support/transfer_pair.h"

#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "tests/support/fault_line.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"

namespace {
TransferState* senderState = nullptr;
TransferState* receiverState = nullptr;
bool inPass = false;
bool receiverDone = false;
int receiverResult = 0;

void useReceiver() {
  faultLineAttach(1);
  transferSelect(receiverState);
}
void useSender() {
  faultLineAttach(0);
  transferSelect(senderState);
}

int receiverTurn() {
  if (inPass || receiverDone) return 0;
  inPass = true;
  useReceiver();
  int r = receiverState->cancelRequested ? XFER_USER_CANCEL : receivePass();
  if (r == STEP_COMPLETE || r < 0) {
    receiverDone = true;
    receiverResult = r;
  }
  useSender();
  inPass = false;
  return 0;
}
}  // namespace

PairOutcome runTransferPair(TransferState& sender, TransferState& receiver, uint32_t idleLimitMs) {
  senderState = &sender;
  receiverState = &receiver;
  receiverDone = false;
  receiverResult = 0;
  useReceiver();
  int begun = receiveBegin();
  if (begun < 0) {
    receiverDone = true;
    receiverResult = begun;
  }
  useSender();
  pumpSetHook(receiverTurn);
  sender.active = true;
  sender.startTick = clockTicks();
  int sent = protocolSend(sender.protocol);
  uint32_t end = clockTicks() + idleLimitMs;
  while (!receiverDone && static_cast<int32_t>(clockTicks() - end) < 0) pumpOne();
  pumpSetHook(nullptr);
  transferSelect(nullptr);
  return PairOutcome{sent, receiverResult, receiverDone};
}
