#include "dialup/line_watch.h"

#include "terminal/link.h"

int lineWatchIdle(LineWatch& w, unsigned status) {
  if (status & MODEM_RLSD) {
    w.carrierSeen = true;
  } else if (w.carrierSeen) {
    w.carrierSeen = false;
    return LINK_LOST;
  }
  // The old watch wrote "ATA" at every empty read while RING was on, and
  // each later one aborted the answer in progress: one per ring.
  const bool ring = (status & MODEM_RING) != 0;
  if (ring && w.answerMode && !w.ringing) {
    static const uint8_t answer[] = {'A', 'T', 'A', '\r'};
    linkWrite(answer, sizeof answer);
  }
  w.ringing = ring && w.answerMode;
  return 0;
}
