// The script engine on a manual clock: the remote side is a queue of timed
// byte strings, the screen line is what the receive path would show. Then
// script characters through the real send path.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "shell/message_box.h"
#include "shell/message_box_posix.h"
#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "shell/script.h"
#include "shell/script_terminal.h"
#include "terminal/hooks.h"
#include "terminal/link.h"
#include "terminal/link_fd_posix.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"
#include "tests/support/peers.h"
#include "tests/support/screen_text.h"

namespace {
struct Arrival {
  uint32_t at;
  std::string bytes;
};

struct Remote {
  std::vector<Arrival> arrivals;  // bytes the host sends, by time
  size_t next = 0;
  std::string line;               // the current screen line
  uint32_t lostAt = UINT32_MAX;   // the link goes down at this time
  std::vector<std::pair<uint32_t, uint8_t>> sent;
  std::vector<bool> secret;
  std::string password = "secret";
  bool cancelPassword = false;
  int passwordAsked = 0;
  std::vector<std::string> statuses;
};
Remote remote;

int processIncoming() {
  if (clockTicks() >= remote.lostAt) return LINK_LOST;
  while (remote.next < remote.arrivals.size() && remote.arrivals[remote.next].at <= clockTicks()) {
    for (char c : remote.arrivals[remote.next].bytes) {
      if (c == '\r' || c == '\n') {
        remote.line.clear();
        continue;
      }
      remote.line.push_back(c);
      scriptLineMatch(reinterpret_cast<const uint8_t*>(remote.line.data()), static_cast<int>(remote.line.size()));
    }
    ++remote.next;
  }
  return 0;
}

void sendChar(uint8_t ch, bool secret) {
  remote.sent.push_back({clockTicks(), ch});
  remote.secret.push_back(secret);
}

bool askPassword(std::string* password) {
  ++remote.passwordAsked;
  *password = remote.password;
  return !remote.cancelPassword;
}

void setStatus(const char* text) { remote.statuses.push_back(text); }

class Script : public ::testing::Test {
 protected:
  void SetUp() override {
    remote = Remote{};
    clockUseManual(1);
    messagesClear();
    env.processIncoming = processIncoming;
    env.sendChar = sendChar;
    env.askPassword = askPassword;
    env.setStatus = setStatus;
    path = buildPath("script_test-" + std::to_string(getpid()) + ".scr");  // ctest runs cases side by side
  }
  void write(const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  int run() { return scriptExecute(path.c_str(), env); }
  std::string sentText() const {
    std::string s;
    for (auto& p : remote.sent) s.push_back(static_cast<char>(p.second));
    return s;
  }
  ScriptEnv env;
  std::string path;
};
}  // namespace

TEST_F(Script, LoginWaitsInAnyCaseAndSendsPacedCharacters) {
  write("WAITSTRING \"login:\"\r\nSEND \"guest^M\"\r\nEXIT\r\n");
  remote.arrivals = {{300, "Welcome\r\nLoG"}, {450, "In: "}};
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(sentText(), "guest\r");
  ASSERT_EQ(remote.sent.size(), 6u);
  // The match lands at 450 ms; each character follows a 100 ms pause.
  EXPECT_EQ(remote.sent[0].first, 550u);
  for (size_t i = 1; i < remote.sent.size(); ++i) EXPECT_EQ(remote.sent[i].first - remote.sent[i - 1].first, 100u);
  EXPECT_TRUE(messagesShown().empty());
  EXPECT_EQ(remote.statuses.front(), "Executing script");
  EXPECT_EQ(remote.statuses.back(), "Script complete");
  EXPECT_EQ(timersRunning(), 0);
}

TEST_F(Script, CancelDuringWaitFails) {
  write("WAITSTRING \"x\"\r\nEXIT\r\n");
  pumpSetHook([this] {
    if (clockTicks() == 500) scriptCancel(env);
    return 0;
  });
  EXPECT_EQ(run(), -1);
  EXPECT_EQ(remote.statuses.back(), "Script cancelled");
  EXPECT_LT(clockTicks(), 600u);
  EXPECT_TRUE(messagesShown().empty());
}

TEST_F(Script, VariablesAreSubstitutedOnceInTheOriginalText) {
  write("SEND \"telnet $SITE $PORT^M\"\r\nSEND \"$PASS $SITE $SITE\"\r\nEXIT\r\n");
  env.site = "10.1.2.3";
  env.port = 0;
  remote.password = "pa$SITEss";  // must reach the host as typed
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(sentText(), "telnet 10.1.2.3 23\rpa$SITEss 10.1.2.3 $SITE");
  EXPECT_EQ(remote.passwordAsked, 1);
  // Only the password's characters go out without echo.
  std::string secret;
  for (size_t i = 0; i < remote.sent.size(); ++i)
    if (remote.secret[i]) secret.push_back(static_cast<char>(remote.sent[i].second));
  EXPECT_EQ(secret, "pa$SITEss");
}

TEST_F(Script, WithoutVariablesTheTextGoesOutAsWrittenAtTheSlowerPace) {
  write("SEND \"$SITE\"\r\nEXIT\r\n");
  env.variables = false;
  env.pauseMs = 500;
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(sentText(), "$SITE");
  EXPECT_EQ(remote.sent.back().first, 2500u);
}

// Runs whose outcome is the result, what was sent, the messages, the beeps
// (-1: not counted) and when the run ended.
struct RunCase {
  const char* name;
  std::string text;
  int result;
  std::string sent;
  std::vector<std::string> messages;
  int beeps;
  std::vector<Arrival> arrivals = {};
  uint32_t lostAt = UINT32_MAX;
  uint32_t endsFrom = 0, endsBefore = UINT32_MAX;
  bool cancelPassword = false;
};

TEST_F(Script, OutcomesOfWholeRuns) {
  const std::string longSend = "SEND \"" + std::string(400, 'x') + "\"";
  const std::string noMatch = "No matching string found within timeout period";
  const RunCase cases[] = {
      {"text split over two lines times out", "TIMEOUT 3\r\nWAITSTRING \"password\"\r\nEXIT\r\n", -1, "", {noMatch}, 1,
       {{100, "pass"}, {200, "\r\nword"}}, UINT32_MAX, 3000, 3100},
      {"default timeout 10 s, overflowing values ignored",
       "TIMEOUT 99999999999\r\nTIMEOUT 4294968\r\nTIMEOUT\r\nWAITSTRING \"never\"\r\nEXIT\r\n", -1, "", {noMatch}, 1, {},
       UINT32_MAX, 10000, 10100},
      // A lost link ends the run silently.
      {"link lost during a wait", "WAITSTRING \"x\"\r\nEXIT\r\n", -1, "", {}, 0, {}, 700, 700, 800},
      {"link lost during a send", "SEND \"abcdef\"\r\nEXIT\r\n", -1, "abc", {}, 0, {}, 350},
      {"cancelled password sends nothing", "SEND \"$PASS^M\"\r\nEXIT\r\n", -1, "", {}, 0, {}, UINT32_MAX, 0, UINT32_MAX, true},
      {"end of file without EXIT completes", "! a comment\r\n\r\nSEND \"ls\"", 0, "ls", {"No exit found"}, 1},
      {"missing quote", "! first\r\nwaitstring \"ok\r\n", -1, "", {"Missing quote in line number 2"}, -1},
      {"unknown command", "Exit2\r\n", -1, "", {"Illegal line number 1 in script file"}, -1},
      // An empty text waits for the next character placed on the screen.
      {"empty text waits for a character", "WAITSTRING \"\"\r\nSEND \"a\"\r\nEXIT\r\n", 0, "a", {}, 0,
       {{400, "x"}}, UINT32_MAX, 500, 600},
      {"empty text times out", "TIMEOUT 2\r\nWAITSTRING \"\"\r\nEXIT\r\n", -1, "", {noMatch}, 1, {}, UINT32_MAX,
       2000, 2100},
      {"long and LF-only lines", "! " + std::string(300, 'c') + "\nSEND \"a\"\nEXIT\n" + longSend + "\n", 0, "a", {}, 0},
      // A line past the limit keeps its first 255 characters: its closing quote is lost.
      {"line past the limit", longSend + "\r\nEXIT\r\n", -1, "", {"Missing quote in line number 1"}, -1},
      // A line without an end (a damaged file) is not read for ever; what came before it ran.
      {"line without end", "SEND \"a\"\r\n" + std::string(SCRIPT_LINE_READ_MAX + 10, 'A'), -1, "a",
       {"Script line too long in line number 2"}, -1},
  };
  for (const RunCase& c : cases) {
    SetUp();
    remote.cancelPassword = c.cancelPassword;
    remote.arrivals = c.arrivals;
    remote.lostAt = c.lostAt;
    write(c.text);
    EXPECT_EQ(run(), c.result) << c.name;
    EXPECT_EQ(sentText(), c.sent) << c.name;
    std::vector<std::string> texts;
    for (auto& m : messagesShown()) texts.push_back(m.text);
    EXPECT_EQ(texts, c.messages) << c.name;
    if (c.beeps >= 0) {
      EXPECT_EQ(beepsSounded(), c.beeps) << c.name;
    }
    EXPECT_GE(clockTicks(), c.endsFrom) << c.name;
    EXPECT_LT(clockTicks(), c.endsBefore) << c.name;
  }
}

TEST_F(Script, MissingFileIsReportedAndCountsAsTheEnd) {
  path = buildPath("no/such/script.scr");
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(messagesShown().size(), 2u);
  EXPECT_EQ(messagesShown()[0].id, TEXT_FILE_OPEN_ERROR);
  EXPECT_EQ(messagesShown()[1].id, TEXT_NO_EXIT);
  EXPECT_EQ(messagesShown()[0].style & 0xF0u, static_cast<unsigned>(MSG_ICONSTOP));
}

// The syntax check's verdicts, with the message and line number each produces.
TEST(ScriptCheck, MessagesWithLineNumbers) {
  struct Case {
    std::string text;
    int result;
    const char* message;
  } cases[] = {
      {"TIMEOUT 60\r\nWAITSTRING \"a\"\r\nSEND \"b^M\"\r\nEXIT\r\n", 0, "Script check complete"},
      {"TIMEOUT 0\r\nEXIT\r\n", -1, "Invalid timeout value specified"},
      {"TIMEOUT 61\r\nEXIT\r\n", -1, "Invalid timeout value specified"},
      {"TIMEOUT 99999999999\r\nEXIT\r\n", -1, "Invalid timeout value specified"},
      {"!x\r\n\r\nTIMEOUT\r\nEXIT\r\n", -1, "Illegal line number 3 in script file"},
      {"WAITSTRING \"login:\r\nEXIT\r\n", -1, "Missing quote in line number 1"},
      {"SEND\t\"x\"\r\nEXIT\r\n", -1, "Missing quote in line number 1"},
      {"SEND \"x\"\r\nGOTO 1\r\nEXIT\r\n", -1, "Illegal line number 2 in script file"},
      {"SEND \"x\"\r\n", -1, "No exit found"},
      {"EXIT\r\nthis is never checked\r\n", 0, "Script check complete"},
      {"exit\n", 0, "Script check complete"},
      {"EXIT" + std::string(SCRIPT_LINE_READ_MAX, ' ') + "\r\n", -1, "Script line too long in line number 1"},
      {"SEND \"a\"\r\n" + std::string(SCRIPT_LINE_READ_MAX - 1, '!') + "\r\nEXIT\r\n", 0, "Script check complete"},
  };
  std::string path = buildPath("script_check.scr");
  for (const Case& c : cases) {
    messagesClear();
    std::ofstream(path, std::ios::binary) << c.text;
    EXPECT_EQ(scriptCheck(path.c_str(), true), c.result) << c.text;
    ASSERT_EQ(messagesShown().size(), 1u) << c.text;
    EXPECT_EQ(messagesShown()[0].text, c.message) << c.text;
  }
  messagesClear();
  std::ofstream(path, std::ios::binary) << "EXIT\r\n";
  EXPECT_EQ(scriptCheck(path.c_str(), false), 0);
  EXPECT_TRUE(messagesShown().empty()) << "a passing check is silent unless asked";
}

TEST(ScriptText, QuotedTextEscapes) {
  struct Case {
    const char* line;
    bool ok;
    const char* text;
  } cases[] = {
      {"SEND \"a^Mb\"", true, "a\rb"},
      {"SEND \"^m^[^^^z\"", true, "\r\x1b^\x1a"},
      {"SEND \"say \"hi\"\"", true, "say \"hi\""},
      {"SEND \"^1\"", true, "^1"},
      {"SEND \"\"", true, ""},
      {"SEND \"", false, ""},
      {"SEND x\"", false, ""},
      {"SEND  \"x\"", false, ""},
      {"SEND", false, ""},
  };
  for (const Case& c : cases) {
    std::string text;
    EXPECT_EQ(scriptQuotedText(c.line, &text), c.ok) << c.line;
    if (c.ok) {
      EXPECT_EQ(text, c.text) << c.line;
    }
  }
}

namespace {
std::string captured;
bool captureOn() { return true; }
void captureByte(uint8_t b) { captured.push_back(static_cast<char>(b)); }

std::string readPeer(int fd) {
  std::string got;
  char buf[256];
  ssize_t n;
  while ((n = recv(fd, buf, sizeof buf, MSG_DONTWAIT)) > 0) got.append(buf, static_cast<size_t>(n));
  return got;
}
}  // namespace

// With local echo on, a typed character shows on the screen and reaches the
// capture slot, a password character does neither; both reach the link, with
// the outbound line end.
TEST(ScriptTerminal, PasswordCharactersAreNeitherEchoedNorCaptured) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  ASSERT_EQ(linkAttachFd(fds[0], true), 0);
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  terminalOptions.localEcho = true;
  captured.clear();
  scriptAttachTerminal();
  terminalHooks.captureOn = captureOn;
  terminalHooks.captureByte = captureByte;

  for (char c : std::string("ab")) scriptSendChar(static_cast<uint8_t>(c), false);
  for (char c : std::string("pw\r")) scriptSendChar(static_cast<uint8_t>(c), true);
  EXPECT_EQ(readPeer(fds[1]), "abpw\r\n") << "local echo implies LF after CR";
  EXPECT_EQ(screenText().substr(0, 3), "ab\n");
  EXPECT_EQ(captured, "ab");

  // The running flag and the line match reach the terminal.
  EXPECT_TRUE(terminalHooks.scriptRunning && terminalHooks.scriptLineMatch);
  linkClose();
  close(fds[1]);
  terminalOptions.localEcho = false;
  hooksReset();
}
