// Transmit: clipboard text to the host one character at a time.
#include "terminal/display.h"
#include "terminal/keymap.h"
#include "terminal/link.h"

static int sendEach(const uint8_t* text, size_t length, const TransmitOptions& options, void (*wait)(int ms)) {
  int sent = 0;
  for (size_t i = 0; i < length && text[i]; ++i) {
    uint8_t ch = text[i];
    if (options.characterDelay > 0) wait(options.characterDelay);
    if (ch == '\n' && options.stripLinefeed) continue;
    // The link's write waits itself until a socket takes the character.
    int r = sendKeyString(&ch, 1);
    if (r < 0) return r;
    ++sent;
    if (ch == '\n' && options.lineDelay > 0) wait(options.lineDelay);
  }
  return sent;
}

int transmitText(const uint8_t* text, size_t length, const TransmitOptions& options, void (*wait)(int ms)) {
  // A host that cannot keep up with pasted text stops a serial line with XOFF.
  bool switchFlow = linkConnected() && !linkIsSocket() && options.flowControl < 2;
  if (switchFlow) linkSetSoftwareFlow(true, true);
  int r = sendEach(text, length, options, wait);
  if (switchFlow) linkSetSoftwareFlow(false, false);
  return r;
}
