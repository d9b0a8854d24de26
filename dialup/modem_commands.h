// The strings the dialing sends to the modem: the dial command built from the
// phone entry and the modem profile, and the sending of a command string.
#pragma once
#include <string>

#include "shell/modem_profile.h"
#include "shell/phone_entry.h"

// Prepares a command string (caret notation; with pauses, "~" as in
// modem_command.h), takes its pauses on the clock and writes it to the link
// in one go. The number of bytes written, or negative when the link refused it.
int modemSend(const std::string& text, bool pauses);
// The number with "(", ")", "-" and blanks taken out.
std::string dialCleanNumber(const std::string& number);
// Dial prefix, "T " or "P ", the entry's phone prefix and ",", the cleaned
// number, dial suffix. "" when the phone type is none or the number is empty
// once cleaned.
std::string dialCommand(const PhoneEntry& entry, const ModemProfile& profile);
