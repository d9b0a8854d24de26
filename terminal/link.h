// The link: the one connection to the remote side, a socket or a serial port.
// The layer that opens the connection attaches its operations; everything above
// reads and writes through these functions and never sees which kind it is.
#pragma once
#include <cstdint>

constexpr int LINK_LOST = -16;  // the remote side is gone; passed upward unchanged

struct LinkOps {
  int (*read)(uint8_t* buffer, int count);            // never blocks; 0 when nothing waits
  int (*write)(const uint8_t* bytes, int length);
  int (*poll)(int* inQueue, int* outQueue);           // 0 or LINK_LOST
  int (*purge)(int which);                            // 0 receive side, 1 transmit side
  void (*setEvents)(unsigned mask);
  unsigned (*modemStatus)();
  void (*close)();
  bool isSocket;
  // XON/XOFF on input (we may send XOFF) and output (we obey it); serial lines only.
  void (*setSoftwareFlow)(bool input, bool output);
  // On: a line of 7 data bits goes to 8 data bits, no parity, 1 stop bit;
  // off: its own format again. An 8-bit line is never touched.
  void (*setTransferFormat)(bool on);
};

// Attaches a connection's operations (nullptr detaches). Slots left empty act
// as on an unconnected link.
void linkAttach(const LinkOps* ops);
bool linkConnected();
bool linkIsSocket();

int linkRead(uint8_t* buffer, int count);
// Writes every byte or fails. What success returns differs by kind of link, as
// the callers of each expect: 0 for a socket, the byte count for a serial port
// (or a descriptor attached as one). Failure and "not connected" are negative.
int linkWrite(const uint8_t* bytes, int length);
int linkPoll(int* inQueue, int* outQueue);
int linkPurge(int which);
void linkSetEvents(unsigned mask);
unsigned linkModemStatus();
void linkClose();
// Switches XON/XOFF on a serial line; nothing on a socket.
void linkSetSoftwareFlow(bool input, bool output);
// A 7-bit serial line to 8-N-1 for a transfer (on) and back (off); nothing
// on an 8-bit line or a socket.
void linkSetTransferFormat(bool on);
