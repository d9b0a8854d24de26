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

void sendBytes(const uint8_t* bytes, int length) {
  if (!linkConnected() || !bytes) return;
  for (int i = 0; i < length; ++i) {
    uint8_t b = bytes[i];
    linkWrite(&b, 1);
    bool capturing = hookZmodemCaptureActive();
    if (terminalOptions.localEcho && !capturing) echo(b);
    bool lineEnd = terminalOptions.outboundCrLf || terminalOptions.localEcho;
    if (b == '\r' && lineEnd && (!capturing || hookAsciiSelected())) {
      static const uint8_t lf = '\n';
      linkWrite(&lf, 1);
      if (terminalOptions.localEcho) processReceived(&lf, 1);
    }
  }
}
