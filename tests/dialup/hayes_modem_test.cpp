// The software modem on a stepped clock: the escape's guard times on both
// sides of "+++", and the ring cadence with automatic answer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialup/hayes_modem.h"

namespace {

struct Step {
  uint32_t at;       // ms since the call came up
  const char* typed; // bytes from the terminal, or nullptr: time only
};

// Brings a call up at t=0 and plays steps; whether the modem ended in
// command mode with the call kept.
bool escapes(std::initializer_list<Step> steps) {
  HayesModem m;
  modemReset(m);
  m.numbers.assign(1, NumberRule{"1", NUMBER_CONNECT, "127.0.0.1", 9});
  ModemActions out;
  modemFromTerminal(m, reinterpret_cast<const uint8_t*>("ATD1\r"), 5, 0, out);
  modemTick(m, 10000, out);
  EXPECT_TRUE(out.connect);
  modemConnected(m, true, 0, out);
  EXPECT_EQ(m.mode, MODEM_ONLINE);
  for (const Step& s : steps) {
    if (s.typed) modemFromTerminal(m, reinterpret_cast<const uint8_t*>(s.typed), static_cast<int>(strlen(s.typed)), s.at, out);
    modemTick(m, s.at, out);
  }
  return m.mode == MODEM_ESCAPED;
}

TEST(HayesEscape, PlusesNeedSilenceOnBothSides) {
  EXPECT_TRUE(escapes({{1000, "+++"}, {2000, nullptr}}));
  EXPECT_TRUE(escapes({{1000, "+"}, {1500, "+"}, {1900, "+"}, {2900, nullptr}}));
  EXPECT_FALSE(escapes({{999, "+++"}, {3000, nullptr}}));               // too soon after the call's start
  EXPECT_FALSE(escapes({{500, "x"}, {1400, "+++"}, {3000, nullptr}}));  // too soon after data
  EXPECT_FALSE(escapes({{1000, "+++"}, {1999, nullptr}}));              // the closing guard not over yet
  EXPECT_FALSE(escapes({{1000, "+++"}, {1500, "y"}, {3000, nullptr}})); // data inside the closing guard
  EXPECT_FALSE(escapes({{1000, "+"}, {2000, "+"}, {2500, "+"}, {4000, nullptr}}));  // pluses too far apart
  EXPECT_FALSE(escapes({{1000, "++++"}, {3000, nullptr}}));             // four are data
}

TEST(HayesRing, FiveRingsSixSecondsApartAndS0Answers) {
  HayesModem m;
  modemReset(m);
  m.answerHost = "127.0.0.1";
  m.answerPort = 9;
  ModemActions out;
  modemRing(m, 0, out);
  for (uint32_t t = 0; t <= 60000; t += 500) modemTick(m, t, out);
  std::string rings;
  for (size_t p = out.terminal.find("RING"); p != std::string::npos; p = out.terminal.find("RING", p + 1)) rings += 'R';
  EXPECT_EQ(rings, "RRRRR");
  EXPECT_FALSE(out.connect);

  ModemActions auto2;
  modemFromTerminal(m, reinterpret_cast<const uint8_t*>("ATS0=2\r"), 7, 70000, auto2);
  modemRing(m, 71000, auto2);
  modemTick(m, 76999, auto2);
  EXPECT_FALSE(auto2.connect) << "one ring so far";
  modemTick(m, 77000, auto2);
  EXPECT_TRUE(auto2.connect);
  EXPECT_EQ(auto2.port, 9);
}

}  // namespace
