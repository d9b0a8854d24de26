// Modem command strings as they are sent: caret notation and pauses.
#pragma once
#include <string>

// Expands text into the bytes to send: "^" and a character give that
// character's code minus 64 (so "^M" is CR). With pauses, a "~" is never sent
// and every third one counted along the string is a pause of one second.
// Returns the number of one-second pauses to take before sending.
int prepareModemCommand(const char* text, bool pauses, std::string& bytes);
