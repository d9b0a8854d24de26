// The Telnet layer of the terminal byte path: IAC commands in the received
// stream, the fixed answers to option negotiation, the offers made when a
// connection opens, the terminal-type and window-size reports. Replies go
// straight to the link as they are decided. The only memory per option is
// the refusal last answered, so that two refusing peers do not loop.
#pragma once
#include <cstdint>

// Telnet command and option codes.
enum TelnetCode : uint8_t {
  TN_SE = 240, TN_NOP = 241, TN_DM = 242, TN_BRK = 243, TN_IP = 244, TN_AO = 245,
  TN_AYT = 246, TN_EC = 247, TN_EL = 248, TN_GA = 249, TN_SB = 250,
  TN_WILL = 251, TN_WONT = 252, TN_DO = 253, TN_DONT = 254, TN_IAC = 255,
  OPT_BINARY = 0, OPT_ECHO = 1, OPT_SGA = 3, OPT_STATUS = 5, OPT_TIMING_MARK = 6,
  OPT_TERMINAL_TYPE = 24, OPT_NAWS = 31,
  TTYPE_SEND = 1,
};

// Where the command reader stands. Every phase but TELNET_DATA is command
// mode: the terminal hands each received byte to telnetCommandByte.
enum TelnetPhase : uint8_t {
  TELNET_DATA,        // bytes are terminal data
  TELNET_IAC,         // an IAC opened a command
  TELNET_VERB,        // WILL, WONT, DO or DONT (in verb): the option follows
  TELNET_SB,          // SB: the option of the subnegotiation follows
  TELNET_SB_TTYPE,    // SB TERMINAL-TYPE: its SEND code follows
};

struct TelnetState {
  TelnetPhase phase;
  uint8_t verb;                // in TELNET_VERB: the verb the option is read against
  bool terminalTypeRequested;  // SB TERMINAL-TYPE SEND seen, answered at SE
  bool windowSizeReporting;    // the host agreed to NAWS (or Rlogin asked)
  uint8_t lastRefusal[256];    // per option: the WONT or DONT last answered, 0 after WILL or DO
};
extern TelnetState telnetState;
// Whether a command is in progress (any phase but TELNET_DATA).
inline bool telnetInCommand() { return telnetState.phase != TELNET_DATA; }

// The values of the current session that the engine reads and changes. The
// session fills them from its record and reads binaryMode and localEcho back.
struct TelnetSession {
  bool rlogin;          // Rlogin session: no byte is interpreted, nothing offered
  bool binaryMode;      // offered at connection start; changed by BINARY negotiation
  bool localEcho;       // changed by ECHO negotiation
  char terminalId[16];  // sent in the terminal-type reply
  int columns;
  int rows;
};
extern TelnetSession telnetSession;

// Clears the command state and the negotiated flags for a new connection.
void telnetResetForConnection();
// Back to data mode, dropping any command in progress (connection start).
void telnetDataMode();
// A data-mode 0xFF: command mode begins and the byte is dropped.
void telnetStartCommand();
// One byte while telnetInCommand(). Returns a data byte (0..255) to hand to
// the emulator (the 255 of a doubled IAC), or -1 when there is none.
int telnetCommandByte(uint8_t b);
// Sends the offers of a new Telnet connection, or the Rlogin handshake.
void telnetOnConnected();
// Reports the current size when the host asked for reports.
void telnetReportWindowSize();

// The bytes of the window-size report for cols x rows, with any dimension of
// 255 doubled as the protocol requires. Returns the length (9 to 11).
int telnetWindowSizeReport(int columns, int rows, uint8_t out[11]);
// The bytes of the terminal-type reply for id (at most 15 characters used),
// 0xFF doubled. Returns the length.
int telnetTerminalTypeReply(const char* id, uint8_t out[38]);

// The "Send telnet command" choices: 15 entries, byte 236 + index after IAC.
constexpr int TELNET_USER_COMMANDS = 15;
extern const char* const telnetUserCommandNames[TELNET_USER_COMMANDS];
// Sends IAC and the command byte of the entry; -1 for an index out of range.
int telnetSendUserCommand(int index);
