// The send path: typed, pasted and scripted bytes to the link, with local echo
// and the outbound line-end option.
#include "terminal/hooks.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"

static void echo(uint8_t b) {
  if (terminalOptions.displayControls) processControlsVisible(&b, 1);
  else processReceived(&b, 1);
}

// The outbound line-end rule: a CR gets an LF after it when the option or
// local echo is on, except while a ZMODEM capture owns the line (an ASCII
// upload still wants its line ends).
static bool lineFeedFollows(uint8_t b, bool capturing) {
  bool lineEnd = terminalOptions.outboundCrLf || terminalOptions.localEcho;
  return b == '\r' && lineEnd && (!capturing || terminalOptions.asciiProtocol);
}

static const uint8_t lineFeed = '\n';

int sendBytes(const uint8_t* bytes, int length) {
  if (!linkConnected() || !bytes) return 0;
  for (int i = 0; i < length; ++i) {
    uint8_t b = bytes[i];
    // A byte the link could not send is neither echoed nor followed by more.
    int written = linkWrite(&b, 1);
    if (written < 0) return written;
    bool capturing = terminalHooks.zmodemCaptureActive();
    if (terminalOptions.localEcho && !capturing) echo(b);
    if (lineFeedFollows(b, capturing)) {
      linkWrite(&lineFeed, 1);
      if (terminalOptions.localEcho) processReceived(&lineFeed, 1);
    }
  }
  return 0;
}

void sendUnechoed(uint8_t b) {
  if (!linkConnected()) return;
  linkWrite(&b, 1);
  if (lineFeedFollows(b, terminalHooks.zmodemCaptureActive())) linkWrite(&lineFeed, 1);
}
