// Rlogin messages and the source-port search.
#include <gtest/gtest.h>

#include <vector>

#include "engine_harness.h"
#include "telnet/rlogin.h"

namespace {
std::string asString(const uint8_t* b, int n) { return std::string(reinterpret_cast<const char*>(b), static_cast<size_t>(n)); }

TEST(Rlogin, HandshakeCarriesBothNamesAndTerminal) {
  rloginSetNames("alice", "bob");
  uint8_t out[128];
  int n = rloginHandshake("vt100", out);
  EXPECT_EQ(asString(out, n), std::string("\0alice\0bob\0vt100/9600\0", 22));
  rloginSetNames("", "bob");
  n = rloginHandshake("ansi", out);
  EXPECT_EQ(asString(out, n), std::string("\0bob\0bob\0ansi/9600\0", 19)) << "unknown local user: the session's name";
}

TEST(Rlogin, NamesAreCutBelow32Characters) {
  std::string longName(40, 'u');
  rloginSetNames(longName.c_str(), longName.c_str());
  EXPECT_EQ(strlen(rlogin.localUser), 31u);
  EXPECT_EQ(strlen(rlogin.userName), 31u);
  uint8_t out[128];
  int n = rloginHandshake("0123456789abcdefghij", out);
  EXPECT_EQ(n, 1 + 32 + 32 + 15 + 5 + 1);
}

TEST(Rlogin, UrgentBytesSetFlowControlMode) {
  harness::connect(false, false, 80, 24, "vt100", true);
  rlogin.raw = false;
  EXPECT_FALSE(rloginMaySend(0x11));
  EXPECT_FALSE(rloginMaySend(0x13));
  EXPECT_TRUE(rloginMaySend('a'));
  rloginUrgentByte(0x10);
  EXPECT_TRUE(rloginMaySend(0x13));
  rloginUrgentByte(0x02);
  EXPECT_TRUE(rlogin.raw);
  rloginUrgentByte(0x20);
  EXPECT_FALSE(rloginMaySend(0x11));
  EXPECT_EQ(harness::written, "") << "none of these is answered";
  EXPECT_FALSE(telnetState.windowSizeReporting);
  rloginUrgentByte(0x80);  // the server wants the size: rows, columns, then pixels
  EXPECT_EQ(harness::written, std::string("\xFF\xFFss\0\x18\0\x50\x02\x80\x01\xE0", 12));
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
}  // namespace
