#include "dialup/modem_command.h"

int prepareModemCommand(const char* text, bool pauses, std::string& bytes) {
  bytes.clear();
  int tildes = 0;
  for (const char* p = text ? text : ""; *p; ++p) {
    if (*p == '^') {
      // A caret at the very end has nothing to stand for: it is sent as it
      // is rather than turning the string's terminator into a byte.
      if (p[1] == 0) {
        bytes += '^';
        break;
      }
      ++p;
      bytes += static_cast<char>(static_cast<unsigned char>(*p) - 64);
    } else if (*p == '~' && pauses) {
      ++tildes;
    } else {
      bytes += *p;
    }
  }
  return tildes / 3;
}
