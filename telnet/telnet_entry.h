// Between the session record and the connection: what the Telnet engine and
// the socket link take from a BookEntry, and the negotiated values that go
// back into it (saved with the entry at the next write).
#pragma once
#include "shell/book_entry.h"
#include "telnet/net_connection.h"

// Fills telnetSession and the Rlogin user name from entry. An empty terminal
// ID is the default name of the entry's emulation.
void telnetSessionFromEntry(const BookEntry& entry);
// Writes the negotiated binaryMode and localEcho back into entry.
void telnetSessionToEntry(BookEntry& entry);
// The connection request of entry: address, port, protocol, firewall.
NetRequest netRequestFromEntry(const BookEntry& entry);
