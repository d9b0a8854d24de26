// Joins the script engine to the terminal: the running flag and the line
// match in the terminal's slots, and the send path for script characters.
#pragma once
#include <cstdint>

// Fills the terminal's script slots (running flag, line match).
void scriptAttachTerminal();
// Sends one script character through the keyboard send path. A secret
// character (from the password) goes to the link only: no local echo, so it
// reaches neither the screen nor the capture file; the outbound line-end
// rule still applies.
void scriptSendChar(uint8_t ch, bool secret);
