// tools/session as a user runs it: against inetutils telnetd (with a shell or
// the machine's login program), in.rlogind, a loopback host in binary mode
// that runs sz (the ZMODEM auto-start: no step asks for the transfer) and
// scripted hosts of our own; its steps, login scripts, time limit and failures.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/file_text.h"
#include "tests/support/peers.h"
#include "tests/support/script_server.h"
#include "tests/support/telnet_peers.h"
#include "tests/support/tool_runner.h"

namespace {
enum Host { NONE, TELNETD, TELNETD_LOGIN, RLOGIND, BINARY_HOST, SCRIPTED };

struct Row {
  const char* name;
  Host host;
  std::string args;    // {port}: the host's, {script}: the script file, {dir}: a fresh folder
  std::string script;  // the script file's text
  std::string input;   // the tool's standard input
  int rc;
  // Each must appear; "!" first: must not (on the screen, before the
  // attributes), "=" first: the whole text, "^" first: how it starts.
  std::vector<std::string> out, err;
  std::string hostCommand;  // BINARY_HOST: run in {dir}, which holds all.bin
  std::vector<ScriptStep> steps;  // SCRIPTED
  std::string hold = "0";         // BINARY_HOST: seconds before the host takes our first reply
};
void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

void expectText(const std::string& text, const std::vector<std::string>& checks, const char* what) {
  for (const std::string& c : checks) {
    if (c[0] == '!') EXPECT_EQ(text.substr(0, text.find("\nattr\n")).find(c.substr(1)), std::string::npos) << what;
    else if (c[0] == '=') EXPECT_EQ(text, c.substr(1)) << what;
    else if (c[0] == '^') EXPECT_EQ(text.rfind(c.substr(1), 0), 0u) << what << ": " << text;
    else EXPECT_NE(text.find(c), std::string::npos) << what << " lacks " << c << " in\n" << text;
  }
}

void substitute(std::string* s, const std::string& key, const std::string& value) {
  for (size_t at; (at = s->find(key)) != std::string::npos;) s->replace(at, key.size(), value);
}

const std::string kLogin =
    "! log in as the test account and run one command\r\nTIMEOUT 20\r\nWAITSTRING \"login:\"\r\n"
    "SEND \"peertest^M\"\r\nWAITSTRING \"password:\"\r\nSEND \"$PASS^M\"\r\nWAITSTRING \"$ \"\r\n"
    "SEND \"echo script-$((6*7))^M\"\r\nWAITSTRING \"SCRIPT-42\"\r\nEXIT\r\n";
const std::string kConnect = "--host 127.0.0.1 --port {port} ";
const std::string IAC = "\xFF";

std::vector<Row> rows() {
  std::string text = std::string(4000, 'x') + "\r\n", offers, slowLogin = kLogin;
  for (int i = 0; i < 1000; ++i) offers += "\xFF\xFD\x20";  // each one is answered
  slowLogin.replace(slowLogin.find("TIMEOUT 20"), 10, "TIMEOUT 2");
  const std::string endless = "TIMEOUT 100000\r\nWAITSTRING \"never\"\r\nEXIT\r\n";
  return {
      {"telnet_steps", TELNETD,
       kConnect + "--emulation 6 --rows 20 --columns 100 --wait '# ' --send 'echo \"T=$TERM\"; stty size^M'"
                  " --wait '# ' --timeout 8",
       "", "", 0, {"|T=vt220|", "|20 100|", "^cursor ", "\nscreen\n", "\nattr\n", "\nhistory "}, {}},
      {"rlogin_handshake", RLOGIND,
       kConnect + "--rlogin --user peertest --terminal-id ansi --wait '$ ' --send 'echo U=$USER:$TERM^M' --wait '$ '"
                  " --timeout 8",
       "", "", 0, {"U=peertest:ansi"}, {}},
      // The password comes from standard input and is never shown.
      {"login_script", TELNETD_LOGIN, kConnect + "--script {script} --timeout 40", kLogin, "peerpass\n", 0,
       {"|script-42|", "!peerpass", "reply "}, {"="}},
      {"wrong_password", TELNETD_LOGIN, kConnect + "--script {script} --timeout 40", slowLogin, "not-the-password\n", 1,
       {"!script-42"}, {"session: No matching string found within timeout period"}},
      {"check_good_script", NONE, "--check {script}", kLogin, "", 0, {"=session: Script check complete\n"}, {}},
      {"check_bad_script", NONE, "--check {script}", "TIMEOUT 5\r\nSEND x\r\nEXIT\r\n", "", 1, {},
       {"=session: Missing quote in line number 2\n"}},
      // An input without line ends is not read for ever.
      {"check_endless_line", NONE, "--check /dev/zero", "", "", 1, {}, {"=session: Script line too long in line number 1\n"}},
      {"check_missing_script", NONE, "--check {dir}/no-such-script.scr", "", "", 1, {}, {"session: File open error"}},
      {"rlogin_without_user", NONE, "--host 127.0.0.1 --port 513 --rlogin", "", "", 2, {"="},
       {"Must enter username to login"}},
      // The sender's closing "OO" belongs to the transfer, not to the screen.
      {"zmodem_auto_start", BINARY_HOST, kConnect + "--zmodem-dir '{dir}/down' --timeout 20 --wait after", "", "", 0,
       {"after", "!OO"}, {"zmodem receive complete"}, "echo ready; sz -q all.bin; echo after"},
      // A sender slow to hear our ZRINIT: the receive waits on the wall clock.
      {"zmodem_auto_start_slow_host", BINARY_HOST, kConnect + "--zmodem-dir '{dir}/down' --timeout 20 --wait after",
       "", "", 0, {"after"}, {"zmodem receive complete"}, "echo ready; sz -q all.bin; echo after", {}, "1.5"},
      {"zmodem_stars_in_text", BINARY_HOST, kConnect + "--zmodem-dir '{dir}/down' --timeout 20 --wait after", "", "", 0,
       {"after", "art"}, {"!zmodem receive"}, "printf 'art **\\030 stars and CAN **\\030\\030 after\\n'"},
      // --timeout bounds the whole run whatever the host does: at the limit the
      // tool prints the screen, says why and fails.
      {"timeout_text_flood", SCRIPTED, kConnect + "--timeout 2 --wait never", "", "", 1, {"^cursor "},
       {"session: time is up"}, "", {scriptFlood(text, 30000, true)}},
      {"timeout_unread_offers", SCRIPTED, kConnect + "--timeout 2 --wait never", "", "", 1, {"^cursor "},
       {"session: time is up"}, "", {scriptFlood(offers, 30000, false)}},
      {"timeout_silent_during_script", SCRIPTED, kConnect + "--timeout 2 --script {script}", endless, "", 1,
       {"^cursor "}, {"session: time is up"}, "", {scriptPause(30000)}},
      // A host that negotiates before its login prompt, with a script running
      // from the start: its commands are answered although the script masks
      // data to 7 bits, so the prompt comes and the login goes through.
      {"script_on_a_negotiating_host", SCRIPTED, kConnect + "--script {script} --timeout 8",
       "TIMEOUT 5\r\nWAITSTRING \"login:\"\r\nSEND \"guest^M\"\r\nWAITSTRING \"$ \"\r\nEXIT\r\n", "", 0,
       {"|welcomei|"}, {}, "",
       {scriptSend(IAC + "\xFD\x18"), scriptExpect(IAC + "\xFB\x18"), scriptSend(IAC + "\xFA\x18\x01" + IAC + "\xF0"),
        scriptExpect(IAC + "\xFA\x18" + std::string(1, '\0') + "vt100" + IAC + "\xF0"), scriptSend("\r\nlogin: "),
        scriptExpect("guest\r"), scriptSend("\r\nwelcome\xE9\r\n$ "), scriptPause(300)}},
  };
}

class SessionTool : public ::testing::TestWithParam<Row> {};

TEST_P(SessionTool, RunsAsAUserRunsIt) {
  const Row& r = GetParam();
  std::string dir = freshBuildDir(std::string("session-tool/") + r.name, {"down"}), data;
  for (int i = 0; i < 400 * 256; ++i) data.push_back(static_cast<char>(i & 0xFF));
  writeFile(dir + "/all.bin", data);
  writeFile(dir + "/script.scr", r.script);
  int port = freeTcpPort();
  ScriptServer server;
  pid_t host = -1;
  if (r.host == RLOGIND) ASSERT_TRUE(rloginTrustLocalhost());
  if (r.host == TELNETD) host = startInetutilsTelnetd(port);
  if (r.host == TELNETD_LOGIN) host = startTelnetdWithLogin(port);
  if (r.host == RLOGIND) host = startRlogind(port);
  if (r.host == BINARY_HOST)
    host = peerStart({"/usr/bin/python3", sourcePath("tests/support/telnet_binary_host.py"), std::to_string(port), dir,
                      "--hold", r.hold, "sh", "-c", r.hostCommand},
                     "session-host");
  PeerGuard guard(host);
  if (r.host == SCRIPTED) {
    ASSERT_TRUE(scriptServerStart(&server, r.steps));
    port = server.port;
  } else if (r.host != NONE) {
    ASSERT_TRUE(waitListening(port, 20000));  // Python starts slowly on a busy machine
  }
  std::string args = r.args, out, err;
  substitute(&args, "{port}", std::to_string(port));
  substitute(&args, "{script}", dir + "/script.scr");
  substitute(&args, "{dir}", dir);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(runTool("session", args, &out, &err, r.input), r.rc) << err;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(r.host == SCRIPTED ? 10 : 50));
  if (r.host == SCRIPTED) {
    scriptServerStop(&server, 1000);
    EXPECT_EQ(server.failure, "");
  }
  expectText(out, r.out, "output");
  expectText(err, r.err, "errors");
  if (r.hostCommand.find("sz ") != std::string::npos)
    EXPECT_TRUE(readFile(dir + "/down/all.bin") == data) << "the file is not byte-identical";
}

INSTANTIATE_TEST_SUITE_P(Hosts, SessionTool, ::testing::ValuesIn(rows()),
                         [](const ::testing::TestParamInfo<Row>& i) { return std::string(i.param.name); });
}  // namespace
