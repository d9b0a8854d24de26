// The receive side of every protocol but ZMODEM: the start signal, the loop
// that runs a protocol's receive step whenever bytes wait, the retry and
// time-out rules, and the cancel sequence.
#pragma once

// Opens a receive on the current TransferState (settings and, for XMODEM and
// ASCII, localPath already set and the file created): sends the start signal
// and starts the 27-second inactivity timer. 0 or a negative code.
int receiveBegin();
// One turn of the loop without pumping: the time-out step when the timer
// fired, else one protocol step when bytes wait, evaluated. Returns 0 to go
// on, 2 when the transfer is complete, or the negative result that ends it.
int receivePass();
// The whole loop: pumps, then receivePass(), until it ends or the user
// cancels (-11). Returns 2 on success or the code that ended it.
int receiveRun();

// What the loop does with one step's result (see StepResult): 0 to go on, 1 or
// 3 as given, 2 complete, -1 when the step's error ended the transfer, -16.
int receiveStepResult(int result);
// The inactivity timer fired: 0 after a retry, -8 after too many.
int receiveTimeoutStep();
// The cancel sequence of a receiver (three CAN bytes but under KERMIT).
void abortReceive(int code);
// The user pressed Cancel while the receive runs.
void receiveCancelByUser();
