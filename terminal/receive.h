// The byte path between the link and the screen: the receive pass that reads
// blocks from the link, the two per-byte paths, and the send path with local
// echo and line-end options. The window is the one terminal window of the
// program (reached through the surface seam), so no window argument is passed.
#pragma once
#include <cstdint>

constexpr int RECEIVE_BLOCK = 1023;  // bytes read per block (one more for an inserted LF)
constexpr int RECEIVE_BLOCKS_PER_PASS = 32;  // full blocks one pass takes at most

// The receive pass: reads blocks of up to 1023 bytes from the link and routes
// each one; repeats while blocks come back full, at most
// RECEIVE_BLOCKS_PER_PASS blocks. Returns 0, or LINK_LOST when the link
// reported the remote side gone (bytes read before are processed).
int receiveAvailable();
// Whether the last pass stopped at its bound with more possibly waiting in
// the link: the caller lets the message loop run, then calls the pass again.
bool receiveBacklog();
// A line that hands over a stream a few kilobytes a read (a serial port) runs
// several passes in a row: the window shows their changes once, at the end.
void receiveRunBegin();
void receiveRunEnd();
// The normal per-byte path (also used for local echo).
void processReceived(const uint8_t* bytes, int length);
// The "Display controls" path: control bytes are shown by name.
void processControlsVisible(const uint8_t* bytes, int length);
// One received byte that is data whatever its value (the 255 of a doubled
// Telnet IAC): the path the options choose, never the start of a command.
void processDataByte(uint8_t b);
// Writes typed, pasted or scripted bytes to the link, with local echo and the
// outbound line-end option. Nothing is sent while no link is attached.
// Returns 0, or the link's negative result for the first byte it could not
// send (nothing after it is sent).
int sendBytes(const uint8_t* bytes, int length);
// Sends one byte with the same line-end rule but no local echo, so it reaches
// neither the screen nor the capture file (a script's password characters).
void sendUnechoed(uint8_t b);

// Set when the connection is made; until then received bytes are masked to 7 bits.
extern bool receiveEightBit;

// The last byte the receive pass read (the transfer framework's last response).
extern uint8_t lastReceivedByte;
