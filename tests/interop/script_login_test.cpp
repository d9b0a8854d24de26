// Login scripts against inetutils telnetd with the machine's real login
// program: the session tool connects, waits for the negotiation to settle,
// runs the script (the password comes from standard input) and prints the
// screen.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/peers.h"
#include "tests/support/tool_runner.h"

namespace {
// inetutils telnetd per connection, with /bin/login asking for a password.
pid_t startTelnetdWithLogin(int port) {
  return peerStart({"socat", "TCP-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr,fork",
                    "EXEC:/usr/sbin/telnetd -h,nofork"},
                   "telnetd-login");
}

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
}  // namespace

TEST(ScriptLogin, LogsInRunsACommandAndSeesItsOutput) {
  int port = freeTcpPort();
  PeerGuard server(startTelnetdWithLogin(port));
  ASSERT_TRUE(waitListening(port, 5000));
  std::string script = writeScript("login.scr", loginScript);
  std::string out, err;
  int rc = runTool("session",
                   "--host 127.0.0.1 --port " + std::to_string(port) + " --script " + script + " --timeout 40",
                   &out, &err, "peerpass\n");
  EXPECT_EQ(rc, 0) << err << out;
  EXPECT_NE(out.find("|script-42|"), std::string::npos) << out;
  std::string screenPart = out.substr(0, out.find("\nattr\n"));
  EXPECT_EQ(screenPart.find("peerpass"), std::string::npos) << "the password is never shown";
  EXPECT_NE(out.find("reply "), std::string::npos);
  EXPECT_EQ(err, "");
}

TEST(ScriptLogin, WrongPasswordEndsInTheTimeoutMessage) {
  int port = freeTcpPort();
  PeerGuard server(startTelnetdWithLogin(port));
  ASSERT_TRUE(waitListening(port, 5000));
  std::string text = loginScript;
  text.replace(text.find("TIMEOUT 20"), 10, "TIMEOUT 2");
  std::string script = writeScript("login-wrong.scr", text);
  std::string out, err;
  int rc = runTool("session",
                   "--host 127.0.0.1 --port " + std::to_string(port) + " --script " + script + " --timeout 40",
                   &out, &err, "not-the-password\n");
  EXPECT_EQ(rc, 1);
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
}
