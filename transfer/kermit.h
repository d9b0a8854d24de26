// KERMIT as the transfer frame runs it: the receive step and its retry,
// time-out and cancel, and the batch sender.
#pragma once

// Resets the Kermit state and sends the opening NAK with sequence 0.
int kermitReceiveBegin();
// Reads what waits and handles complete packets (see StepResult).
int kermitReceiveStep();
// After a bad packet or check error: the reader starts over and the expected
// packet is asked for again with a NAK.
void kermitReceiveRetry();
// After the inactivity time-out: the last reply goes out again.
void kermitReceiveTimeout();
// Tells the other side that this side gives up (an "E" packet with text).
void kermitSendError(const char* text);
// Sends every file of the batch list: 0 or a negative code.
int kermitSendBatch();
