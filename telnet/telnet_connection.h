// The Telnet and Rlogin line as the frame sees it: the table, and the slots
// that its Windows Sockets and POSIX forms share.
#pragma once
#include <cstdint>

#include "frame/connection.h"

extern const FrameConnection TELNET_CONNECTION;

// The engine joins the terminal's byte path, with nothing negotiated yet.
void telnetLineAttach();
// The negotiated binary mode and local echo back into a Telnet record.
void telnetLineEnd(uint8_t* record);
// "%s is connected" with the session's address.
void telnetLineStatus(char* text, int size);
// "Send telnet command" is offered on a Telnet session, not on Rlogin.
bool telnetLineSpecialEnabled(int special);
