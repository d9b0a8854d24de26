// The strings the dialing sends to the modem, built from the modem profile
// and the phone entry: caret notation, the pauses of "~", the dial command.
#pragma once
#include <string>

#include "shell/modem_profile.h"
#include "shell/phone_entry.h"

// A command string as it goes to the modem: "^" and a character give that
// character's code minus 64. With pauses, every third "~" along the string
// waits 1000 ms on the clock while the string is prepared and every "~" is
// left out. Returns the bytes to write in one go.
std::string modemCommandBytes(const std::string& text, bool pauses);
// Writes a prepared command to the link; the number of bytes written, or
// negative when the link refused it.
int modemSend(const std::string& text, bool pauses);
// The number with "(", ")", "-" and blanks taken out.
std::string dialCleanNumber(const std::string& number);
// Dial prefix, "T " or "P ", the entry's phone prefix and ",", the cleaned
// number, dial suffix. "" when the phone type is none or the number is empty
// once cleaned.
std::string dialCommand(const PhoneEntry& entry, const ModemProfile& profile);
// The result class of a reply line: the first of the result texts (busy, dial
// tone, carrier, answer, time-out, error, OK, connect) found in line, 0 to 7,
// or -1.
int modemReplyClass(const ModemProfile& profile, const std::string& line);
enum ModemReplyClass { REPLY_BUSY, REPLY_DIALTONE, REPLY_CARRIER, REPLY_ANSWER, REPLY_TIMEOUT, REPLY_ERROR, REPLY_OK,
                       REPLY_CONNECT };
