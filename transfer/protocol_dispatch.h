// Where the framework calls into each protocol. One switch per operation in
// protocol_dispatch.cpp; a protocol that is not there answers -12.
#pragma once

// Start of a receive: the start signal or first packet.
int protocolReceiveBegin(int protocol);
// One receive step (see StepResult).
int protocolReceiveStep(int protocol);
// After a block error the loop keeps going: the protocol asks for the block again.
void protocolReceiveRetry(int protocol);
// After the inactivity time-out: the protocol's reminder to the sender.
void protocolReceiveTimeout(int protocol);
// The user cancelled a running receive: the protocol's cancel to the sender.
// The cancel a receive ending with code sends (once): three CAN for the block
// protocols and text, five CAN and ZABORT for ZMODEM, nothing for Kermit.
void protocolReceiveAbort(int protocol, int code);
void protocolReceiveCancel(int protocol);
// A sender: XMODEM sends localPath, the batch protocols the batch list.
// 0 on success, a positive status or a negative code.
int protocolSend(int protocol);
