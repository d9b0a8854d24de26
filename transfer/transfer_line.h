// The line as the protocols see it: the link of the terminal, taken over while
// a transfer runs. Every wait here tests the cancel and timer flags of the
// current TransferState and keeps the program responsive through the pump.
#pragma once
#include <cstdint>

// Bytes waiting on the line (0 when none), or LINK_LOST when it is gone.
int lineWaiting();
// Reads up to count data bytes without waiting: 0 when none, LINK_LOST when
// the line is gone. On a Telnet connection doubled 0xFF bytes come out single
// and Telnet commands go to the Telnet layer, so the result may be 0 although
// lineWaiting() reported bytes.
int lineRead(uint8_t* buffer, int count);
// Nothing waited: spins briefly on the line, then hands the turn to the pump
// (which also lets the clock move). Negative when the program is quitting.
int lineIdle();
// Gives the pump a few turns when the last was 50 ms ago, however busy the
// line is; negative when the program is quitting.
int linePacedTurn();

// Waits for ACK, NAK, CAN, "C" or "G" (see ResponseResult); skips other bytes
// and remembers every byte in lastResponseChar. -1 after 60 s without one,
// -11 on cancel, -16 when the line is gone.
int awaitResponse();
// Writes b (0xFF twice on a Telnet connection). Returns the bytes written or a
// negative code: -11 cancelled, -1 write timer expired, -16 line gone.
int sendLineByte(uint8_t b);
// The same for a whole frame in one write.
int sendLineBytes(const uint8_t* bytes, int length);
// Sends count CAN bytes (the cancel of the block protocols).
int sendCancel(int count);
// Drops what waits to be sent / what was received and not read yet.
void linePurgeOutput();
void linePurgeInput();

// The line for the length of a transfer (of the current TransferState): XON/XOFF
// one way (a receiver may send XOFF, a sender obeys it) and a 7-bit serial
// line at 8-N-1; Kermit switches its format itself when it agrees on no
// eight-bit prefixing, a text transfer sets its own flow control. Given back:
// the line's own format, XON/XOFF as the session's flow control says.
void transferLineTake(bool sending);
void transferLineGiveBack();
