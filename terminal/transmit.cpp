// Transmit: clipboard text to the host one character at a time.
#include "terminal/display.h"
#include "terminal/keymap.h"
#include "terminal/link.h"

int transmitText(const uint8_t* text, size_t length, const TransmitOptions& options, void (*wait)(int ms)) {
  int sent = 0;
  for (size_t i = 0; i < length && text[i]; ++i) {
    uint8_t ch = text[i];
    if (options.characterDelay > 0) wait(options.characterDelay);
    if (ch == '\n' && options.stripLinefeed) continue;
    int r;
    // A link that cannot take data yet gets the same character again.
    while ((r = sendKeyString(&ch, 1)) == 0 && linkConnected()) wait(0);
    if (r <= 0) return r < 0 ? r : -1;
    ++sent;
    if (ch == '\n' && options.lineDelay > 0) wait(options.lineDelay);
  }
  return sent;
}
