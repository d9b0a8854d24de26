// The software modem's number table: several rules for one number answer its
// dials in turn (BUSY twice, then the call), the last one staying.
#include <gtest/gtest.h>

#include <string>

#include "dialup/hayes_modem.h"

namespace {

std::string dialOnce(HayesModem& m, uint32_t& now) {
  ModemActions out;
  const std::string command = "ATDT 555-0100\r";
  modemFromTerminal(m, reinterpret_cast<const uint8_t*>(command.data()), static_cast<int>(command.size()), now, out);
  std::string said = out.terminal;
  for (int i = 0; i < 100 && said.find("\r\n", command.size() + 2) == std::string::npos; ++i) {
    now += 100;
    ModemActions tick;
    modemTick(m, now, tick);
    said += tick.terminal;
  }
  return said.substr(said.find("\r\n") + 2);
}

TEST(ModemNumbers, RulesOfOneNumberAnswerInTurn) {
  HayesModem m;
  modemReset(m);
  m.echo = false;
  for (const char* text : {"5550100=busy", "5550100=busy", "5550100=no-carrier", "5550200=no-dialtone"}) {
    NumberRule rule;
    ASSERT_EQ(parseNumberRule(text, rule), 0);
    m.numbers.push_back(rule);
  }
  uint32_t now = 0;
  EXPECT_EQ(dialOnce(m, now), "BUSY\r\n");
  EXPECT_EQ(dialOnce(m, now), "BUSY\r\n");
  EXPECT_EQ(dialOnce(m, now), "NO CARRIER\r\n");
  EXPECT_EQ(dialOnce(m, now), "NO CARRIER\r\n");
}

}  // namespace
