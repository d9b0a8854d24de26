// Telnet and Rlogin servers on loopback for tests and tools, and a receive
// loop over the terminal's real path for streams of plain text.
#pragma once
#include <string>
#include <sys/types.h>

// inetutils telnetd per connection (socat fork, the socket handed over), with
// a shell instead of the login program. Returns the socat pid or -1.
pid_t startInetutilsTelnetd(int port);
// The same with the machine's login program asking for a password.
pid_t startTelnetdWithLogin(int port);
// busybox's telnetd with a shell as its login program.
pid_t startBusyboxTelnetd(int port);
// in.rlogind per connection with the socket on its standard input, output and
// error. The account rloginTestUser() trusts localhost (see rloginTrustLocalhost).
pid_t startRlogind(int port);
const char* rloginTestUser();
// Gives the test account a ~/.rhosts that trusts this machine's users on
// localhost (owned by the account, mode 600). Idempotent; false on failure.
bool rloginTrustLocalhost();

// Connects to address:port through netConnectPosix as a 80x24 session with
// this terminal id (Telnet or Rlogin). Returns its result; the caller sends
// the offers or the handshake with telnetOnConnected().
int telnetConnectLoopback(int port, const char* terminalId, bool rlogin = false,
                          const char* address = "127.0.0.1");

// Empties the settings and the messages, makes a fresh 24 x 80 VT100 terminal,
// connects it as telnetConnectLoopback does (binary: the session offers binary
// mode) and, once connected, attaches the engine and sends the offers or the
// handshake. Returns the connect's result.
int telnetOpenVt100(int port, const char* terminalId, bool rlogin = false, const char* address = "127.0.0.1",
                    bool binary = false);
// Pumps the receive path until text shows count times on the screen (at most
// ms, or until the line is lost).
bool pumpUntilOnScreen(const std::string& text, int ms, int count = 1);
int countOnScreen(const std::string& text);

// A TTY terminal of 24 x 80 with the longest scrollback, the Telnet engine
// in its hook slots: what reaches it is the data of the stream. Returns 0.
int telnetAttachTextTerminal();
// Runs what the link has for up to ms through the terminal's receive path
// and sets *data to every character the terminal received so far. Returns 0,
// or LINK_LOST once the connection is gone.
int telnetPump(std::string* data, int ms);
// Pumps until text appears in *data after position from (at most ms).
bool telnetPumpUntil(std::string* data, const std::string& text, int ms, size_t from = 0);
