// A Hayes-compatible modem in software: AT commands from the terminal, result
// codes back, a dial looked up in a table of numbers, data bridged to a TCP
// connection that the caller opens, "+++" with guard times, rings. Time comes
// from the caller (milliseconds), so the same logic runs under a real clock in
// tools/modem and under a stepped one in tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum NumberKind : int { NUMBER_CONNECT, NUMBER_BUSY, NUMBER_NO_CARRIER, NUMBER_NO_DIALTONE, NUMBER_SILENT };

struct NumberRule {
  std::string digits;
  NumberKind kind;
  std::string host;  // NUMBER_CONNECT only
  int port;
  bool spent = false;  // used once, and a later rule for the same number takes the next dial
};
// Parses "N=HOST:PORT", "N=busy", "N=no-carrier", "N=no-dialtone" or
// "N=silent" (N keeps only its digits). 0, or -1 when it is not one of those.
int parseNumberRule(const std::string& text, NumberRule& rule);
// Parses "HOST:PORT". 0, or -1.
int parseHostPort(const std::string& text, std::string& host, int& port);

enum ModemMode : int {
  MODEM_COMMAND,   // reading AT commands, no call
  MODEM_DIALING,   // pauses and ringing of a dial in progress
  MODEM_WAIT_TCP,  // the caller is connecting; result through modemConnected
  MODEM_ONLINE,    // data bridged
  MODEM_ESCAPED,   // command mode with the call kept ("+++"); ATO goes back
};

// What the caller is to do after each call: bytes to the terminal and to the
// remote side, a connection to open, the connection to close.
struct ModemActions {
  std::string terminal;
  std::string remote;
  bool connect = false;
  std::string host;
  int port = 0;
  bool hangUp = false;
};

constexpr int MODEM_LINE_MAX = 255;
constexpr int MODEM_RINGS = 5;
constexpr uint32_t MODEM_RING_INTERVAL = 6000;
constexpr uint32_t MODEM_UNKNOWN_DELAY = 3000;  // an unknown number gives up after this

struct HayesModem {
  std::vector<NumberRule> numbers;
  std::string answerHost;  // empty: no one calls
  int answerPort = 0;

  bool echo = true, verbose = true, quiet = false;
  uint8_t s[256] = {};
  ModemMode mode = MODEM_COMMAND;
  std::string line;  // command being typed, at most MODEM_LINE_MAX
  bool lineOverflow = false;

  // The dial in progress: its outcome at resultAt.
  uint32_t resultAt = 0;
  int dialRule = -1;  // index in numbers, -1 unknown

  // "+++": when the last data byte came, how many pluses followed it.
  uint32_t lastData = 0;
  uint32_t lastPlus = 0;
  int pluses = 0;

  int ringsLeft = 0;
  int ringCount = 0;
  uint32_t nextRing = 0;
};

void modemReset(HayesModem& m);
// Bytes typed by the terminal (commands, or data while online).
void modemFromTerminal(HayesModem& m, const uint8_t* bytes, int n, uint32_t now, ModemActions& out);
// Bytes from the remote side: to the terminal while online, else dropped.
void modemFromRemote(HayesModem& m, const uint8_t* bytes, int n, ModemActions& out);
// The caller's connection attempt ended (ok) or the connection dropped.
void modemConnected(HayesModem& m, bool ok, uint32_t now, ModemActions& out);
void modemRemoteClosed(HayesModem& m, ModemActions& out);
// An incoming call: RING now and every 6 s, up to five times, until answered.
void modemRing(HayesModem& m, uint32_t now, ModemActions& out);
// Time passes: dial results, the escape's closing guard time, further rings.
void modemTick(HayesModem& m, uint32_t now, ModemActions& out);
// Milliseconds until the next timed event (at most limit).
uint32_t modemNextEvent(const HayesModem& m, uint32_t now, uint32_t limit);
