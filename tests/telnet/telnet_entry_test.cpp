// The session record feeds the engine and the connection, and takes back what
// negotiation changed.
#include <gtest/gtest.h>

#include "engine_harness.h"
#include "telnet/rlogin.h"
#include "telnet/telnet_entry.h"

namespace {
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
  telnetSessionFromEntry(entryWith("", 6, 0));
  EXPECT_STREQ(telnetSession.terminalId, "vt220");
  telnetSessionFromEntry(entryWith("", 8, 0));
  EXPECT_STREQ(telnetSession.terminalId, "Wyse50");
  telnetSessionFromEntry(entryWith("xterm", 6, 1));
  EXPECT_STREQ(telnetSession.terminalId, "xterm");
  EXPECT_TRUE(telnetSession.rlogin);
  EXPECT_STREQ(rlogin.userName, "carol");
}

TEST(TelnetEntry, NegotiatedValuesGoBackIntoTheRecord) {
  BookEntry e = entryWith("vt100", 4, 0);
  telnetSessionFromEntry(e);
  EXPECT_FALSE(telnetSession.binaryMode);
  EXPECT_TRUE(telnetSession.localEcho);
  harness::attach();
  harness::receive(harness::bytes({255, 253, 0, 255, 251, 1}));  // DO BINARY, WILL ECHO
  telnetSessionToEntry(e);
  EXPECT_EQ(recordInt(e.bytes, bookField::binaryMode), 1);
  EXPECT_EQ(recordInt(e.bytes, bookField::localEcho), 0);
  NetRequest r = netRequestFromEntry(e);
  EXPECT_STREQ(r.address, "host.example");
  EXPECT_EQ(r.port, 2323);
  EXPECT_FALSE(r.rlogin);
}
}  // namespace
