// The plain text view: the screen buffer written as a log of lines, with no
// emulation. CR, LF, backspace, DEL, BEL and TAB act; other control bytes are
// dropped; a Telnet command (0xFF and what follows it) is swallowed unanswered.
// Every byte goes to the capture file, and a waiting script sees each line.
#pragma once
#include <cstdint>

constexpr int PLAIN_VIEW_COLUMNS = 132;  // characters a line holds before it continues below

// Forgets a Telnet command cut between two writes (a new session).
void plainViewReset();
void plainViewWrite(const uint8_t* bytes, int length);
