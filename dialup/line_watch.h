// The carrier and ring watch of a dial-up session: looked at whenever a read
// of the port comes back empty.
#pragma once

// Modem status bits as the port reports them.
constexpr unsigned MODEM_CTS = 0x10;
constexpr unsigned MODEM_DSR = 0x20;
constexpr unsigned MODEM_RING = 0x40;
constexpr unsigned MODEM_RLSD = 0x80;

struct LineWatch {
  bool carrierSeen = false;  // the carrier was on once in this session
  bool answerMode = false;   // a ring is answered
  bool ringing = false;      // the ring being answered now
};

// The modem status after an empty read. Returns LINK_LOST when the carrier
// that was seen is gone (the caller hangs up at once), else 0. With answer
// mode on, a ring is answered with "ATA" and CR through the link, once per
// ring however often the status is read while it rings.
int lineWatchIdle(LineWatch& w, unsigned status);
