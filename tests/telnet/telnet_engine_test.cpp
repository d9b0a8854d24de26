// The Telnet engine in the terminal's receive path: what each command and
// option is answered with, what reaches the screen, and what the session
// values and the entry become. Then Rlogin's messages and its source-port
// search. The host's bytes arrive over the terminal harness's link, the engine
// sits in the terminal's hook slots, data lands on a TTY screen, and what the
// engine writes is kept in wire.replies.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "shell/book_entry.h"
#include "telnet/net_connection.h"
#include "telnet/rlogin.h"
#include "terminal/keymap.h"
#include "terminal/options.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_entry.h"
#include "telnet/telnet_terminal.h"
#include "tests/terminal/terminal_harness.h"

namespace harness {
// A fresh TTY terminal (every byte from 0x20 up is shown as it is) on the
// harness link, with the engine reset and attached for telnetSession.
inline void attach() {
  reset(1, 24, 80, 100);
  telnetResetForConnection();
  telnetAttachTerminal();
}

// A fresh connection with these session values.
inline void connect(bool localEcho = false, bool binary = false, int columns = 80, int rows = 24,
                    const char* terminalId = "vt100", bool rlogin = false) {
  telnetSession = {};
  telnetSession.rlogin = rlogin;
  telnetSession.localEcho = localEcho;
  telnetSession.binaryMode = binary;
  snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "%s", terminalId);
  attach();
  telnetSession.columns = columns;  // as the session would report them, whatever the screen
  telnetSession.rows = rows;
}

// Runs bytes through the receive pass on a cleared screen; returns what the
// screen shows afterwards, row after row.
inline std::string receive(const std::string& bytes) {
  clearScreen();
  feed(bytes);
  std::string data;
  for (int r = 0; r < screen.rows; ++r) data += row(r);
  return data;
}

inline std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}
}  // namespace harness

using harness::bytes;

namespace {
struct Case {
  const char* name;
  std::string in;
  std::string replies;
  std::string data;
  int columns = 80, rows = 24;
  const char* terminalId = "vt100";
};

std::string hex(const std::string& s) {
  std::string out;
  char b[4];
  for (unsigned char c : s) snprintf(b, sizeof b, "%02X ", c), out += b;
  return out;
}

const int IAC = 255, DO = 253, DONT = 254, WILL = 251, WONT = 252, SB = 250, SE = 240;

TEST(TelnetEngine, NegotiationRepliesAndData) {
  const Case cases[] = {
      Case{"do ttype", bytes({IAC, DO, 24}), bytes({IAC, WILL, 24}), ""},
      Case{"do echo refused", bytes({IAC, DO, 1}), bytes({IAC, WONT, 1}), ""},
      Case{"do sga", bytes({IAC, DO, 3}), bytes({IAC, WILL, 3}), ""},
      Case{"will sga", bytes({IAC, WILL, 3}), bytes({IAC, DO, 3}), ""},
      Case{"will status", bytes({IAC, WILL, 5}), bytes({IAC, DONT, 5}), ""},
      Case{"do status", bytes({IAC, DO, 5}), bytes({IAC, WONT, 5}), ""},
      Case{"will timing mark", bytes({IAC, WILL, 6}), bytes({IAC, DONT, 6}), ""},
      Case{"do timing mark", bytes({IAC, DO, 6}), bytes({IAC, WONT, 6}), ""},
      Case{"wont timing mark", bytes({IAC, WONT, 6}), "", ""},
      Case{"do unknown", bytes({IAC, DO, 0x20}), bytes({IAC, WONT, 0x20}), ""},
      Case{"will unknown", bytes({IAC, WILL, 0x20}), bytes({IAC, DONT, 0x20}), ""},
      Case{"do 255", bytes({IAC, DO, IAC}), bytes({IAC, WILL, IAC}), ""},
      Case{"wont 255", bytes({IAC, WONT, IAC}), bytes({IAC, DONT, IAC}), ""},
      Case{"ayt", bytes({'a', IAC, 246, 'b'}), bytes({IAC, 241}), "ab"},
      Case{"nop shows nothing", bytes({'x', IAC, 241, 'y'}), "", "xy"},
      Case{"ignored commands", bytes({IAC, 242, IAC, 243, IAC, 244, IAC, 245, IAC, 247, IAC, 248, IAC, 249}), "", ""},
      Case{"doubled iac is data", bytes({'A', IAC, IAC, 'B'}), "", bytes({'A', 255, 'B'})},
      Case{"four iac are two", bytes({IAC, IAC, IAC, IAC}), "", bytes({255, 255})},
      Case{"other subnegotiation: parameters are data",
           bytes({IAC, SB, 0x20, 'x', 'y', IAC, SE, 'z'}), "", "xyz"},
      Case{"ttype is from server is dropped", bytes({IAC, SB, 24, 0, 'a', IAC, SE}), "", "a"},
      // Subnegotiations never hold the stream: the byte after SB TERMINAL-TYPE
      // ends it, and after SB, IAC IAC pairs are data bytes 255.
      Case{"sb ttype ends at the next byte", bytes({IAC, SB, 24}) + "qqqq", "", "qqq"},
      Case{"iac iac after sb is data", bytes({IAC, SB, IAC, IAC, IAC, IAC, 'k'}), "", bytes({255, 255, 'k'})},
      Case{"verbs in a row", bytes({IAC, DO, 24, IAC, WILL, 3, IAC, DO, 0x20}),
           bytes({IAC, WILL, 24, IAC, DO, 3, IAC, WONT, 0x20}), ""},
      Case{"unknown command byte after iac", bytes({IAC, 0x41, 'b'}), "", "b"},
      Case{"naws 255 doubled", bytes({IAC, DO, 31}), bytes({IAC, SB, 31, 0, 255, 255, 0, 24, IAC, SE}), "", 255},
      Case{"naws low bytes", bytes({IAC, WILL, 31}), bytes({IAC, SB, 31, 0, 300 & 0xFF, 0, 255, 255, IAC, SE}), "",
           300, 255},
      Case{"ttype 255 doubled", bytes({IAC, SB, 24, 1, IAC, SE}), bytes({IAC, SB, 24, 0, 'a', 255, 255, IAC, SE}),
           "", 80, 24, "a\xFF"},
      Case{"same ttype every time", bytes({IAC, SB, 24, 1, IAC, SE, IAC, SB, 24, 1, IAC, SE}),
           bytes({IAC, SB, 24, 0, 'v', 't', '1', '0', '0', IAC, SE, IAC, SB, 24, 0, 'v', 't', '1', '0', '0', IAC, SE}),
           ""}};
  for (const Case& c : cases) {
    harness::connect(false, false, c.columns, c.rows, c.terminalId);
    std::string data = harness::receive(c.in);
    EXPECT_EQ(hex(harness::wire.replies), hex(c.replies)) << c.name;
    EXPECT_EQ(hex(data), hex(c.data)) << c.name;
    EXPECT_FALSE(telnetInCommand()) << c.name << ": every case ends in data mode";
  }
}

// Each step: what the host sends, what we answer (and the echo hook reports),
// and local echo and binary mode afterwards.
TEST(TelnetEngine, EchoAndBinaryNegotiationChangeTheSession) {
  const struct {
    std::string in, replies;
    bool echo, binary;
  } steps[] = {
      {bytes({IAC, WILL, 1}), "", false, false},
      {bytes({IAC, WONT, 1}), "", true, false},
      {bytes({IAC, DONT, 1}), "", true, false},
      {bytes({IAC, DO, 0}), bytes({IAC, WILL, 0}), true, true},
      {bytes({IAC, DO, 0}), "", true, true},  // already on: no second WILL
      {bytes({IAC, DONT, 0}), bytes({IAC, WONT, 0}), true, false},
      {bytes({IAC, DONT, 0}), "", true, false},  // off already: no reply
      {bytes({IAC, WILL, 0}), "", true, true},   // the server's WILL/WONT BINARY are not answered
      {bytes({IAC, WONT, 0}), "", true, false},
  };
  harness::connect(true);
  for (const auto& step : steps) {
    harness::wire.replies.clear();
    harness::receive(step.in);
    EXPECT_EQ(hex(harness::wire.replies), hex(step.replies)) << hex(step.in);
    EXPECT_EQ(telnetSession.localEcho, step.echo) << hex(step.in);
    EXPECT_EQ(terminalOptions.localEcho, step.echo) << hex(step.in);  // the keyboard echoes as negotiated
    EXPECT_EQ(telnetSession.binaryMode, step.binary) << hex(step.in);
  }
}

// The offers without local echo or binary mode are checked against a scripted
// server in the interop tests, with the refusals of SGA, NAWS and unknown options.
TEST(TelnetEngine, OffersAtConnection) {
  harness::connect(true, false);
  telnetOnConnected();
  EXPECT_EQ(hex(harness::wire.replies), hex(bytes({IAC, WILL, 31})));
  harness::connect(false, true);
  telnetOnConnected();
  EXPECT_EQ(hex(harness::wire.replies), hex(bytes({IAC, WILL, 31, IAC, DO, 1, IAC, DO, 0})));
}

TEST(TelnetEngine, WindowSizeIsReportedAgainUntilRefused) {
  harness::connect();
  telnetReportWindowSize();
  EXPECT_EQ(harness::wire.replies, "") << "nothing before the host agrees";
  harness::receive(bytes({IAC, DO, 31}));
  harness::wire.replies.clear();
  telnetSession.rows = 40;
  telnetReportWindowSize();
  EXPECT_EQ(hex(harness::wire.replies), hex(bytes({IAC, SB, 31, 0, 80, 0, 40, IAC, SE})));
  harness::wire.replies.clear();
  harness::receive(bytes({IAC, DONT, 31}));
  telnetSession.rows = 50;
  telnetReportWindowSize();
  EXPECT_EQ(harness::wire.replies, "");
}

TEST(TelnetEngine, NegotiationSplitAcrossBlocksAtEveryPoint) {
  const std::string stream = bytes({'h', IAC, DO, 24, 'i', IAC, SB, 24, 1, IAC, SE, IAC, IAC, IAC, DO, 31, '!'});
  harness::connect();
  std::string wholeData = harness::receive(stream);
  std::string wholeReplies = harness::wire.replies;
  for (size_t cut = 1; cut < stream.size(); ++cut) {
    harness::connect();
    std::string data = harness::receive(stream.substr(0, cut));
    data += harness::receive(stream.substr(cut));
    EXPECT_EQ(hex(data), hex(wholeData)) << "cut at " << cut;
    EXPECT_EQ(hex(harness::wire.replies), hex(wholeReplies)) << "cut at " << cut;
  }
  EXPECT_EQ(hex(wholeData), hex(bytes({'h', 'i', 255, '!'})));
}

TEST(TelnetEngine, ResetClearsCommandStateAndReporting) {
  harness::connect();
  harness::receive(bytes({IAC, DO, 31, IAC, SB, 24, 1, IAC}));
  EXPECT_TRUE(telnetInCommand());
  EXPECT_TRUE(telnetState.windowSizeReporting);
  EXPECT_TRUE(telnetState.terminalTypeRequested);
  telnetResetForConnection();
  EXPECT_FALSE(telnetInCommand());
  EXPECT_FALSE(telnetState.windowSizeReporting);
  EXPECT_FALSE(telnetState.terminalTypeRequested);
}

TEST(TelnetEngine, UserCommandsAndTerminalIdsAreBounded) {
  uint8_t out[38];
  EXPECT_EQ(telnetTerminalTypeReply("0123456789abcdefXYZ", out), 15 + 6) << "at most 15 characters";
  EXPECT_EQ(telnetTerminalTypeReply("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", out), 30 + 6);
  harness::connect();
  for (auto [command, result] : {std::pair{0, 0}, {8, 0}, {14, 0}, {15, -1}, {-1, -1}})
    EXPECT_EQ(telnetSendUserCommand(command), result) << command;
  EXPECT_EQ(hex(harness::wire.replies), hex(bytes({IAC, 236, IAC, 244, IAC, 250})));
}
std::string asString(const uint8_t* b, int n) { return std::string(reinterpret_cast<const char*>(b), static_cast<size_t>(n)); }

// Both names and the terminal; names are cut below 32 characters and the
// terminal to 15.
TEST(Rlogin, HandshakeCarriesBothNamesAndTerminal) {
  const std::string u31(31, 'u');
  const struct {
    std::string local, user, terminal, expected;
  } cases[] = {
      {"alice", "bob", "vt100", std::string("\0alice\0bob\0vt100/9600\0", 22)},
      {"", "bob", "ansi", std::string("\0bob\0bob\0ansi/9600\0", 19)},  // unknown local user: the session's name
      {u31 + "uuuuuuuuu", u31 + "uuuuuuuuu", "0123456789abcdefghij",
       std::string(1, '\0') + u31 + '\0' + u31 + '\0' + "0123456789abcde/9600" + '\0'},
  };
  for (const auto& c : cases) {
    rloginSetNames(c.local.c_str(), c.user.c_str());
    uint8_t out[128];
    int n = rloginHandshake(c.terminal.c_str(), out);
    EXPECT_EQ(asString(out, n), c.expected) << c.terminal;
  }
}

// The server's urgent bytes switch what typed XON and XOFF do: held back
// while cooked, sent to the server in raw mode (the keyboard's one flag).
TEST(Rlogin, UrgentBytesSetFlowControlMode) {
  harness::connect(false, false, 80, 24, "vt100", true);
  keyboard.rlogin = true;
  EXPECT_FALSE(keyboard.rloginRaw) << "a connection starts cooked";
  typedCharacter(0x11);
  typedCharacter('a');
  EXPECT_EQ(harness::wire.replies, "a");
  rloginUrgentByte(0x10);
  typedCharacter(0x13);
  rloginUrgentByte(0x02);  // a flush leaves the mode as it is
  typedCharacter(0x11);
  EXPECT_EQ(harness::wire.replies, "a\x13\x11");
  rloginUrgentByte(0x20);
  typedCharacter(0x13);
  EXPECT_EQ(harness::wire.replies, "a\x13\x11");
  harness::wire.replies.clear();
  keyboard.rlogin = false;
  EXPECT_FALSE(telnetState.windowSizeReporting);
  rloginUrgentByte(0x80);  // the server wants the size: rows, columns, then pixels
  EXPECT_EQ(harness::wire.replies, std::string("\xFF\xFFss\0\x18\0\x50\x02\x80\x01\xE0", 12));
  EXPECT_TRUE(telnetState.windowSizeReporting);
  EXPECT_EQ(harness::receive("\xFF\xFF"), "\xFF\xFF") << "0xFF is plain data";
}

TEST(Rlogin, PortSearchStopsAtThePrivilegedRange) {
  static std::vector<int> tried;
  tried.clear();
  auto refuseAll = [](int port, void*) {
    tried.push_back(port);
    return false;
  };
  EXPECT_EQ(rloginPortSearch(1023, refuseAll, nullptr), -1);
  ASSERT_FALSE(tried.empty());
  EXPECT_EQ(tried.front(), 1023);
  EXPECT_EQ(tried.back(), 512);
  EXPECT_EQ(tried.size(), 512u);
  auto takeThird = [](int port, void*) { return port == 1021; };
  EXPECT_EQ(rloginPortSearch(1023, takeThird, nullptr), 1021) << "1023 and 1022 in use: 1021";
  EXPECT_EQ(rloginNextPort(1021), 1020);
  EXPECT_EQ(rloginNextPort(512), 1023);
}

// The engine's and the connection's values come from the entry; what
// negotiation changed goes back.
BookEntry entryWith(const char* terminalId, int emulation, int protocol) {
  BookEntry e = bookDefaultEntry();
  recordSetText(e.bytes, bookField::terminalId, terminalId);
  recordSetInt(e.bytes, bookField::emulation, emulation);
  recordSetInt(e.bytes, bookField::protocol, protocol);
  recordSetText(e.bytes, bookField::address, "host.example");
  recordSetInt(e.bytes, bookField::port, 2323);
  recordSetText(e.bytes, bookField::userName, "carol");
  recordSetInt(e.bytes, bookField::binaryMode, 0);
  recordSetInt(e.bytes, bookField::localEcho, 1);
  return e;
}

TEST(TelnetEntry, EmptyTerminalIdIsTheEmulationsName) {
  telnetSessionFromProfile(profileFromBook(entryWith("", 6, 0)));
  EXPECT_STREQ(telnetSession.terminalId, "vt220");
  telnetSessionFromProfile(profileFromBook(entryWith("", 8, 0)));
  EXPECT_STREQ(telnetSession.terminalId, "Wyse50");
  telnetSessionFromProfile(profileFromBook(entryWith("xterm", 6, 1)));
  EXPECT_STREQ(telnetSession.terminalId, "xterm");
  EXPECT_TRUE(telnetSession.rlogin);
  EXPECT_STREQ(rlogin.userName, "carol");
}

TEST(TelnetEntry, NegotiatedValuesGoBackIntoTheRecord) {
  BookEntry e = entryWith("vt100", 4, 0);
  telnetSessionFromProfile(profileFromBook(e));
  EXPECT_FALSE(telnetSession.binaryMode);
  EXPECT_TRUE(telnetSession.localEcho);
  harness::attach();
  harness::receive(harness::bytes({255, 253, 0, 255, 251, 1}));  // DO BINARY, WILL ECHO
  telnetSessionToEntry(e);
  EXPECT_EQ(recordInt(e.bytes, bookField::binaryMode), 1);
  EXPECT_EQ(recordInt(e.bytes, bookField::localEcho), 0);
  NetRequest r = netRequestFromProfile(profileFromBook(e));
  EXPECT_STREQ(r.address, "host.example");
  EXPECT_EQ(r.port, 2323);
  EXPECT_FALSE(r.rlogin);
}
}  // namespace
