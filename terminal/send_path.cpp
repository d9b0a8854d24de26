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

int sendBytes(const uint8_t* bytes, int length) {
  if (!linkConnected() || !bytes) return 0;
  for (int i = 0; i < length; ++i) {
    uint8_t b = bytes[i];
    // A byte the link could not send is neither echoed nor followed by more.
    int written = linkWrite(&b, 1);
    if (written < 0) return written;
    bool capturing = hookZmodemCaptureActive();
    if (terminalOptions.localEcho && !capturing) echo(b);
    bool lineEnd = terminalOptions.outboundCrLf || terminalOptions.localEcho;
    if (b == '\r' && lineEnd && (!capturing || hookAsciiSelected())) {
      static const uint8_t lf = '\n';
      linkWrite(&lf, 1);
      if (terminalOptions.localEcho) processReceived(&lf, 1);
    }
  }
  return 0;
}
