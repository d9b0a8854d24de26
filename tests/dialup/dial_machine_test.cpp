// The dialing against a scripted modem on a pseudo-terminal, on the manual
// clock: replies numeric and verbal, redial, give-up, sequential dialing, and
// what a hostile modem stream may not do.
#include <gtest/gtest.h>

#include "dialup/dial_machine.h"
#include "dialup/dial_port.h"
#include "dialup/dial_ui_posix.h"
#include "dialup/modem_commands.h"
#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "tests/dialup/modem_script.h"
#include "tests/shell/book_fixture.h"

namespace {

PhoneEntry makeEntry(const char* name, const char* number, int retry, int timeout = 0) {
  PhoneEntry e{};
  recordSetText(e.bytes, phoneField::name, name);
  recordSetText(e.bytes, phoneField::phoneNumber, number);
  recordSetInt(e.bytes, phoneField::phoneType, 1);
  recordSetInt(e.bytes, phoneField::retryCount, retry);
  recordSetInt(e.bytes, phoneField::timeout, timeout);
  return e;
}

bool shown(const std::string& text) {
  for (const auto& m : messagesShown())
    if (m.text.find(text) != std::string::npos) return true;
  return false;
}

class DialTest : public BookDirTest {
 protected:
  ModemScript modem;
  PhoneEntry entry = makeEntry("Home", "555-1234", 3);
  ModemProfile profile = scriptProfile();
  DialMachine m;

  void SetUp() override {
    BookDirTest::SetUp();
    clockUseManual();
    dialUiTerminal().clear();
    dialUiStatuses().clear();
    dialUiEnds() = 0;
  }
  void TearDown() override {
    dialPortClose();
    clockUseManual();
    BookDirTest::TearDown();
  }
  // Saves the entries and dials them in turn, from the first.
  void dialInTurn(const std::vector<PhoneEntry>& entries) {
    for (const PhoneEntry& e : entries) {
      ASSERT_EQ(phoneSaveEntry(e), 0);
      m.list.push_back(recordText(e.bytes, phoneField::name));
    }
    entry = entries[0];
    m.sequential = true;
  }
  DialEnd run() {
    m.entry = &entry;
    m.profile = &profile;
    // Ten simulated minutes bound every run: a machine that never ends fails.
    pumpSetHook([this] {
      modem.serve();
      return clockTicks() > 600000 ? -1 : 0;
    });
    dialStart(m);
    dialRun(m);
    pumpSetHook(nullptr);
    return m.end;
  }
};

struct DialCase {
  const char *name, *reset;
  bool echo;
  const char *resetReply, *initReply;
  std::vector<std::string> dialReplies;
  int retry, timeout;
  DialEnd end;
  int dials;
  const char* message;  // a message box the run shows, or ""
};

const DialCase CASES[] = {
    {"verbal", "ATZ^M", false, "\r\nOK\r\n", "\r\nOK\r\n", {"\r\nCONNECT 9600\r\n"}, 3, 0, DialEnd::Connected, 1, ""},
    {"numeric reset", "ATZ^M", false, "0\r", "\r\nOK\r\n", {"\r\nCONNECT\r\n"}, 3, 0, DialEnd::Connected, 1, ""},
    // The "0" of the echoed command is no OK: the init string is still sent.
    {"echo of ATZ0", "ATZ0^M", true, "\r\nOK\r\n", "\r\nOK\r\n", {"\r\nCONNECT\r\n"}, 3, 0, DialEnd::Connected, 1, ""},
    {"busy twice", "ATZ^M", false, "\r\nOK\r\n", "\r\nOK\r\n",
     {"\r\nBUSY\r\n", "\r\nBUSY\r\n", "\r\nCONNECT 2400\r\n"}, 3, 0, DialEnd::Connected, 3, ""},
    {"retry 0 busy", "ATZ^M", false, "\r\nOK\r\n", "\r\nOK\r\n", {"\r\nBUSY\r\n"}, 0, 0, DialEnd::Closed, 1, ""},
    {"attempts used", "ATZ^M", false, "\r\nOK\r\n", "\r\nOK\r\n", {"\r\nNO CARRIER\r\n"}, 2, 0, DialEnd::Closed, 2, ""},
    {"error then connect", "ATZ^M", false, "\r\nOK\r\n", "\r\nOK\r\n", {"\r\nERROR\r\n", "\r\nCONNECT\r\n"}, 2, 0,
     DialEnd::Connected, 2, ""},
    {"silent dial", "ATZ^M", false, "\r\nOK\r\n", "\r\nOK\r\n", {""}, 2, 5, DialEnd::Closed, 2, ""},
    {"no reset reply", "ATZ^M", false, "", "\r\nOK\r\n", {"\r\nCONNECT\r\n"}, 3, 0, DialEnd::Closed, 0,
     "No response from modem"},
    {"no init reply", "ATZ^M", false, "\r\nOK\r\n", "", {"\r\nCONNECT\r\n"}, 3, 0, DialEnd::Closed, 0,
     "Initialization failed"},
};

TEST_F(DialTest, ScriptedModemReplies) {
  for (const DialCase& c : CASES) {
    SCOPED_TRACE(c.name);
    dialPortClose();
    messagesClear();
    modem.heard.clear();
    modem.dials = 0;
    modem.echo = c.echo;
    modem.resetReply = c.resetReply;
    modem.initReply = c.initReply;
    modem.dialReplies = c.dialReplies;
    profile = scriptProfile(c.reset);
    entry = makeEntry("Home", "(555) 123-4567", c.retry, c.timeout);
    m = DialMachine{};
    EXPECT_EQ(run(), c.end);
    EXPECT_EQ(modem.dials, c.dials);
    EXPECT_EQ(m.attemptNumber, c.dials);
    if (c.dials > 0) {
      EXPECT_NE(modem.heard.find("ATE1V1\r"), std::string::npos) << "the init string was not sent";
    }
    if (c.message[0]) {
      EXPECT_TRUE(shown(c.message)) << c.message;
    } else {
      EXPECT_TRUE(messagesShown().empty());
    }
    EXPECT_EQ(timersRunning(), 0);
    EXPECT_EQ(dialPortIsOpen(), c.end == DialEnd::Connected);
  }
}

TEST_F(DialTest, ConnectLineShownAndRedialsReported) {
  modem.dialReplies = {"\r\nBUSY\r\n", "\r\nCONNECT 9600/ARQ\r\nlogin: "};
  ASSERT_EQ(run(), DialEnd::Connected);
  EXPECT_EQ(dialUiTerminal(), "CONNECT 9600/ARQ\r\nlogin: ");
  EXPECT_EQ(m.lastStatus, "BUSY");
  EXPECT_EQ(m.status, "CONNECT 9600/ARQ");
  EXPECT_NE(dialUiStatuses().find("Reset|Initializing|Dialing|"), std::string::npos) << dialUiStatuses();
  EXPECT_NE(dialUiStatuses().find("Redialing|"), std::string::npos) << dialUiStatuses();
  EXPECT_EQ(dialUiEnds(), 1);
  EXPECT_EQ(beepsSounded(), 2);
  ASSERT_EQ(modem.dialed.size(), 2u);
  EXPECT_EQ(modem.dialed[0], "T 5551234");
}

TEST_F(DialTest, SequentialDialingSkipsEmptyEntries) {
  dialInTurn({makeEntry("Alpha", "111", 0), makeEntry("Empty", "( - )", 0), makeEntry("Beta", "222", 0)});
  modem.dialReplies = {"\r\nBUSY\r\n", "\r\nCONNECT\r\n"};
  ASSERT_EQ(run(), DialEnd::Connected);
  EXPECT_EQ(modem.dialed, (std::vector<std::string>{"T 111", "T 222"}));
  EXPECT_EQ(recordText(entry.bytes, phoneField::name), "Beta");
  EXPECT_EQ(m.title, "Dialing Beta");
  EXPECT_TRUE(m.list.empty());
}

TEST_F(DialTest, SequentialDialingOfEmptyEntriesGivesUpAfterOnePass) {
  dialInTurn({makeEntry("First", "", 0, 5), makeEntry("Second", " ", 0, 5)});
  EXPECT_EQ(run(), DialEnd::Closed);
  EXPECT_LT(clockTicks(), 600000u);
  EXPECT_EQ(modem.dials, 0);
}

// Replies at the wrong time, floods, NUL and endless lines: the line is cut
// at 255 characters and the machine still connects afterwards.
TEST_F(DialTest, HostileStreamBoundedAndStillConnects) {
  m.entry = &entry;
  m.profile = &profile;
  m.state = DialState::Dialing;
  m.attemptsLeft = 5;
  std::string flood = "\r\n" + std::string(1000, 'x') + "\r\n\r\n";
  for (int i = 0; i < 5000; ++i) flood += static_cast<char>((i * 37) % 256 == 0 ? 1 : (i * 37) % 256);
  flood += std::string(300, '\0') + "\n\r\r\n";
  flood += "\r\nCONNECT 1200\r\n";
  for (char c : flood) dialByte(m, static_cast<uint8_t>(c));
  EXPECT_EQ(m.end, DialEnd::Connected);
  const std::string& shownText = dialUiTerminal();
  ASSERT_GE(shownText.size(), 257u);
  EXPECT_EQ(shownText.substr(0, 257), std::string(255, 'x') + "\r\n");
  EXPECT_EQ(shownText.find('\0'), std::string::npos);
  EXPECT_NE(shownText.find("CONNECT 1200\r\n"), std::string::npos);
  timerKill(DIAL_TIMER_NEXT);
}

// Carrier raised without a CONNECT line connects only while dialing.
TEST_F(DialTest, CarrierConnectsOnlyWhileDialing) {
  const struct {
    DialState state;
    unsigned status;
    DialEnd end;
  } cases[] = {{DialState::Dialing, 0x80, DialEnd::Connected},
               {DialState::Dialing, 0x40, DialEnd::None},
               {DialState::Init, 0x80, DialEnd::None},
               {DialState::Reset, 0x80, DialEnd::None}};
  for (const auto& c : cases) {
    m = DialMachine{};
    m.entry = &entry;
    m.profile = &profile;
    m.state = c.state;
    dialModemStatus(m, c.status);
    EXPECT_EQ(m.end, c.end) << static_cast<int>(c.state) << " " << c.status;
  }
}

TEST(DialCommand, BuiltFromEntryAndProfile) {
  const struct {
    const char* number;
    const char* phonePrefix;
    int type;
    const char* command;
  } cases[] = {
      {"(555) 123-4567", "9", 1, "ATDT 9,5551234567^M"},
      {"555 1234", "", 0, "ATDP 5551234^M"},
      {"555 1234", "", 2, ""},    // a direct line dials nothing
      {"( ) - ", "9", 1, ""},     // nothing left once cleaned
  };
  ModemProfile p = scriptProfile();
  for (const auto& c : cases) {
    PhoneEntry e = makeEntry("x", c.number, 0);
    recordSetText(e.bytes, phoneField::phonePrefix, c.phonePrefix);
    recordSetInt(e.bytes, phoneField::phoneType, c.type);
    EXPECT_EQ(dialCommand(e, p), c.command) << c.number;
  }
}

}  // namespace
