// Login scripts against inetutils telnetd with the machine's real login
// program: the session tool connects, waits for the negotiation to settle,
// runs the script (the password comes from standard input) and prints the
// screen.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/peers.h"
#include "tests/support/telnet_peers.h"
#include "tests/support/tool_runner.h"

namespace {
std::string writeScript(const std::string& name, const std::string& text) {
  std::string path = buildPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

const char* const loginScript =
    "! log in as the test account and run one command\r\n"
    "TIMEOUT 20\r\n"
    "WAITSTRING \"login:\"\r\n"
    "SEND \"peertest^M\"\r\n"
    "WAITSTRING \"password:\"\r\n"
    "SEND \"$PASS^M\"\r\n"
    "WAITSTRING \"$ \"\r\n"
    "SEND \"echo script-$((6*7))^M\"\r\n"
    "WAITSTRING \"SCRIPT-42\"\r\n"
    "EXIT\r\n";

// Runs the session tool with script against a fresh telnetd; password on stdin.
int runLogin(const std::string& script, const std::string& password, std::string* out, std::string* err) {
  int port = freeTcpPort();
  PeerGuard server(startTelnetdWithLogin(port));
  if (!waitListening(port, 5000)) return -2;
  return runTool("session", "--host 127.0.0.1 --port " + std::to_string(port) + " --script " + script + " --timeout 40",
                 out, err, password + "\n");
}
}  // namespace

TEST(ScriptLogin, LogsInRunsACommandAndSeesItsOutput) {
  std::string out, err;
  EXPECT_EQ(runLogin(writeScript("login.scr", loginScript), "peerpass", &out, &err), 0) << err << out;
  EXPECT_NE(out.find("|script-42|"), std::string::npos) << out;
  EXPECT_EQ(out.substr(0, out.find("\nattr\n")).find("peerpass"), std::string::npos) << "the password is never shown";
  EXPECT_NE(out.find("reply "), std::string::npos);
  EXPECT_EQ(err, "");
}

TEST(ScriptLogin, WrongPasswordEndsInTheTimeoutMessage) {
  std::string text = loginScript, out, err;
  text.replace(text.find("TIMEOUT 20"), 10, "TIMEOUT 2");
  EXPECT_EQ(runLogin(writeScript("login-wrong.scr", text), "not-the-password", &out, &err), 1);
  EXPECT_NE(err.find("session: No matching string found within timeout period"), std::string::npos) << err;
  EXPECT_EQ(out.find("script-42"), std::string::npos);
}

TEST(ScriptLogin, CheckOption) {
  std::string out, err;
  EXPECT_EQ(runTool("session", "--check " + writeScript("good.scr", loginScript), &out, &err), 0) << err;
  EXPECT_EQ(out, "session: Script check complete\n");
  out.clear();
  EXPECT_EQ(runTool("session", "--check " + writeScript("bad.scr", "TIMEOUT 5\r\nSEND x\r\nEXIT\r\n"), &out, &err), 1);
  EXPECT_EQ(err, "session: Missing quote in line number 2\n");
  err.clear();  // an input without line ends is not read for ever
  EXPECT_EQ(runTool("session", "--check /dev/zero", &out, &err), 1);
  EXPECT_EQ(err, "session: Script line too long in line number 1\n");
}
