// Between the session profile and the connection: what the Telnet engine and
// the socket link take from a Telnet session, and the negotiated values that
// go back into its record (saved with the entry at the next write).
#pragma once
#include "shell/book_entry.h"
#include "shell/session_profile.h"
#include "telnet/net_connection.h"

// Fills telnetSession and the Rlogin user name from profile. An empty
// terminal ID is the default name of the profile's emulation.
void telnetSessionFromProfile(const SessionProfile& profile);
// Writes the negotiated binaryMode and localEcho back into entry.
void telnetSessionToEntry(BookEntry& entry);
// The connection request of profile: address, port, protocol, firewall.
NetRequest netRequestFromProfile(const SessionProfile& profile);
