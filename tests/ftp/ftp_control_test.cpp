// The control connection against a scripted server: replies as servers may
// send them, the login (through a firewall too), the remote path and the
// typed command mode.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "ftp/ftp_firewall.h"
#include "ftp/ftp_session.h"
#include "ftp/system_type.h"
#include "shell/settings.h"
#include "terminal/link.h"
#include "tests/ftp/ftp_harness.h"
#include "tests/support/peers.h"

namespace {
using S = std::vector<ScriptStep>;

const std::string kLongLine = "200 " + std::string(4996, 'x') + "\r\n";

TEST(FtpReplies, CodeAndText) {
  struct {
    const char* what;
    std::string bytes;  // what the server answers to NOOP (then it closes)
    int code;
    std::string text;
  } cases[] = {
      {"one line", "200 NOOP ok\r\n", 200, "NOOP ok"},
      {"greeting lines are absorbed", "220-a\r\n220-b\r\n220 c\r\n230 in\r\n", 230, "in"},
      {"continuation lines", "211-x\r\n 211 no\r\n211\r\nxyz\r\n211-\r\n211 end\r\n", 211, "end"},
      {"a code-like line ends the reply", "211-x\r\n200 looks like a code\r\n211 end\r\n", 200, "looks like a code"},
      {"bare LF", "211-x\n200 bare\n", 200, "bare"},
      {"code and blank only", "200 \r\n", 200, ""},
      {"5000-byte line", kLongLine + "201 next\r\n", 200, std::string(250, 'x')},
      {"close in the middle", "200 par", LINK_LOST, ""},
      {"three digits alone", "200\r\n", LINK_LOST, ""},
  };
  for (const auto& c : cases) {
    Scripted server(S{scriptExpect("NOOP\r\n"), scriptSend(c.bytes), scriptPause(100)});
    ASSERT_TRUE(server.connected);
    EXPECT_EQ(SendFtpCommand("NOOP\r\n", KIND_OTHER), c.code) << c.what;
    if (c.code > 0) {
      EXPECT_EQ(ftp.lastReplyText, c.text) << c.what;
    }
  }
}

TEST(FtpReplies, LongLineLeavesTheNextReplyIntact) {
  Scripted server(talk({"A", kLongLine + "201 next", "B", "202 ok"}));
  ASSERT_TRUE(server.connected);
  EXPECT_EQ(SendFtpCommand("A\r\n", KIND_OTHER), 200);
  EXPECT_EQ(ReadFtpReply(KIND_OTHER), 201);
  EXPECT_EQ(SendFtpCommand("B\r\n", KIND_OTHER), 202);
  EXPECT_LT(ftpRecord.view.size(), 1300u) << "a reply line is kept to its first 1023 bytes";
}

TEST(FtpReplies, DoubledFFCollapsesOnlyDuringATransfer) {
  std::string ff4 = "\xff\xff\xff\xff";
  Scripted server(talk({"A", "200 " + ff4, "B", "200 " + ff4}));
  ASSERT_TRUE(server.connected);
  SendFtpCommand("A\r\n", KIND_OTHER);
  EXPECT_EQ(ftp.lastReplyText, ff4);
  ftp.transferRunning = true;
  SendFtpCommand("B\r\n", KIND_OTHER);
  EXPECT_EQ(ftp.lastReplyText, std::string("\xff\xff"));
}

struct LoginCase {
  const char* what;
  bool anonymous;
  const char* email;  // in the settings store, or null
  S steps;
  int result;
  int system;  // the type SYST gives, or -1
};

TEST(FtpLogin, Sequences) {
  LoginCase cases[] = {
      {"named", false, nullptr,
       talk({"USER u", "220 late greeting\r\n331 pass", "PASS pw", "230 in", "SYST", "215 Windows_NT"}), 0,
       SYSTEM_WINDOWS_NT},
      {"USER refused, PASS still sent", false, nullptr, talk({"USER u", "530 no", "PASS pw", "530 no"}), LINK_LOST, -1},
      {"anonymous, placeholder address", true, nullptr,
       talk({"USER anonymous", "331 p", std::string("PASS ") + FTP_DEFAULT_EMAIL, "230 in", "SYST", "500 what"}), 0,
       SYSTEM_UNKNOWN},
      {"anonymous, stored address", true, "me@here.example",
       talk({"USER anonymous", "331 p", "PASS me@here.example", "230 in", "SYST", "215 VMS V5"}), 0, SYSTEM_VMS},
      {"PASS refused with 421", false, nullptr, talk({"USER u", "331 pass", "PASS pw", "421 bye"}), LINK_LOST, -1},
  };
  for (LoginCase& c : cases) {
    Scripted server(c.steps);
    ASSERT_TRUE(server.connected);
    if (c.email) regWriteString("email", c.email);
    FtpLoginInfo login;
    login.user = "u";
    login.password = "pw";
    login.anonymous = c.anonymous;
    EXPECT_EQ(FtpLogin(login), c.result) << c.what;
    EXPECT_FALSE(ftp.busy) << c.what << ": a refused login leaves nothing busy";
    if (c.system >= 0) {
      EXPECT_EQ(ftp.systemType, c.system) << c.what;
    }
    EXPECT_EQ(ftpRecord.view.find("PASS pw"), std::string::npos) << c.what;
    server.end();
  }
}

struct PathCase {
  std::string before, argument;
  int code;
  std::string after;
};

// Only a 2xx reply moves the remote path: a 4xx one (450, 4xx "try again
// later") refused the change, and following it would name a folder the
// server is not in; the listings after it would contradict the path shown.
TEST(FtpRemotePath, CwdReplies) {
  const std::string deep = "/" + std::string(240, 'd');
  PathCase cases[] = {
      {"/pub", "..", 250, "/"},          {"/pub/x", "..", 250, "/pub"},     {"/", "sub", 250, "/sub"},
      {"/pub", "sub", 250, "/pub/sub"},  {"/pub", "/a/b", 250, "/a/b"},     {"/pub", "sub", 450, "/pub"},
      {"/pub", "sub", 550, "/pub"},      {deep, std::string(100, 'e'), 250, (deep + "/" + std::string(100, 'e')).substr(0, 255)},
  };
  for (const PathCase& c : cases) {
    Scripted server(talk({"CWD " + c.argument, std::to_string(c.code) + " x"}));
    ASSERT_TRUE(server.connected);
    ftp.systemType = SYSTEM_UNIX;
    snprintf(ftp.remotePath, sizeof ftp.remotePath, "%s", c.before.c_str());
    EXPECT_EQ(SendFtpCommand(("CWD " + c.argument + "\r\n").c_str(), KIND_CD), c.code);
    EXPECT_EQ(ftp.remotePath, c.after) << c.before << " + " << c.argument << " -> " << c.code;
  }
}

// Lines typed at the prompt, what reaches the server, and what the view shows;
// a busy session refuses them.
TEST(FtpCommandMode, TypedLines) {
  Scripted server(
      talk({"CDUP", "200 a", "CWD pub", "250 b", "CWD", "501 c", "RNFR a", "350 d", "RNTO b", "250 e", "SITE x y",
            "200 f", "PASS secret", "503 g", "TYPE I", "200 h", "DELE two words.txt", "250 i", "PWD", "257 \"/\""}));
  ASSERT_TRUE(server.connected);
  ftp.systemType = SYSTEM_UNIX;
  ftp.busy = true;
  ftpTypedChar('x');
  EXPECT_EQ(ftpRecord.beeps, 1) << "a busy session refuses typing";
  ftp.busy = false;
  for (const char* line : {"cdup", "  cd pub", "cdx", "", "rename a b", "SITE x y", "pass secret", "lcd a b",
                           "binary", "get ..", "delete two words.txt", "pwz\bd", "xy"}) {
    for (const char* p = line; *p; ++p) ftpTypedChar(static_cast<uint8_t>(*p));
    ftpTypedChar('\r');
  }
  std::string sent = server.end();
  EXPECT_EQ(sent.find("xy"), std::string::npos) << "a line of two characters is not sent";
  EXPECT_EQ(sent.find("RETR"), std::string::npos) << "a download to \"..\" is refused";
  EXPECT_TRUE(ftp.binary);
  EXPECT_EQ(ftpRecord.view.find("secret"), std::string::npos) << ftpRecord.view;
  EXPECT_NE(ftpRecord.view.find("pass ******\r\nPASS ****\r\n"), std::string::npos) << ftpRecord.view;
  EXPECT_NE(ftpRecord.view.find("illegal command\r\n"), std::string::npos);
  EXPECT_NE(ftpRecord.view.find("ftp>\r\nftp>"), std::string::npos) << "an empty line gives a new prompt";
  EXPECT_NE(ftpRecord.view.find("pwz\b \bd\r\nPWD\r\n257"), std::string::npos) << "backspace edits the line";
}

TEST(FtpCommandMode, LocalNames) {
  struct {
    const char* remote;
    const char* local;
  } cases[] = {{"a.txt", "a.txt"}, {"../../x", "x"}, {"dir/..", ""}, {"..", ""}, {".", ""}, {"", ""},
               {"c:\\win\\y.jpg", "y.jpg"}, {"DISK:[A.B]F.TXT;1", "[A.B]F.TXT;1"}, {"a/", ""}};
  for (auto& c : cases) EXPECT_EQ(ftpLocalNameOf(c.remote), c.local) << c.remote;
}

bool answerUser(char* name, int size) {
  snprintf(name, static_cast<size_t>(size), "asked");
  return true;
}
bool answerPassword(char* password, int size, bool* save) {
  snprintf(password, static_cast<size_t>(size), "typed");
  *save = true;
  return true;
}
bool cancel(char*, int, bool*) { return false; }
std::string saved;
void saveEntry(const char* user, const char* password, bool save) {
  saved = std::string(user) + "/" + password + (save ? "/saved" : "");
}

// Missing credentials are asked for and kept; a cancelled question ends the
// session without a command sent.
TEST(FtpLogin, AskedCredentials) {
  Scripted server(talk({"USER asked", "331 p", "PASS typed", "230 in", "SYST", "215 UNIX"}));
  ASSERT_TRUE(server.connected);
  ftpHooks.askUser = answerUser;
  ftpHooks.askPassword = answerPassword;
  ftpHooks.saveEntry = saveEntry;
  ftp.connected = true;
  EXPECT_EQ(FtpLogin(FtpLoginInfo()), 0);
  EXPECT_EQ(saved, "asked/typed/saved");
  server.end();

  Scripted server2(S{scriptPause(100)});
  ASSERT_TRUE(server2.connected);
  ftpHooks.askPassword = cancel;
  FtpLoginInfo login;
  login.user = "u";
  EXPECT_EQ(FtpLogin(login), LINK_LOST);
  EXPECT_FALSE(ftp.connected);
  EXPECT_EQ(server2.end(), "");
}

// The firewall login: the script talks to a scripted firewall over the
// control connection, then the FTP login follows on the same connection.
bool typedPassword(char* password, int size, bool*) {
  snprintf(password, static_cast<size_t>(size), "fwsecret");
  return true;
}

TEST(FtpFirewall, ScriptThenLogin) {
  std::string script = "/tmp/pxftp-test-" + std::to_string(getpid()) + ".txt";
  std::ofstream(script) << "TIMEOUT 5\nWAITSTRING \"Name:\"\nSEND \"open $SITE $PORT^M\"\n"
                           "WAITSTRING \"word:\"\nSEND \"$PASS^M\"\nEXIT\n";
  Scripted server(S{scriptSend("firewall ready\r\nName: "), scriptExpect("open ftp.example 21\r"),
                    scriptSend("\r\nPassword: "), scriptExpect("fwsecret\r"), scriptSend("\r\n220 through\r\n")} +
                  talk({"USER u", "331 pass", "PASS pw", "230 in", "SYST", "215 UNIX"}));
  ASSERT_TRUE(server.connected);
  ftpHooks.askPassword = typedPassword;
  EXPECT_EQ(ftpFirewallLogin(script.c_str(), "ftp.example", 0), 0);
  FtpLoginInfo login;
  login.user = "u";
  login.password = "pw";
  EXPECT_EQ(FtpLogin(login), 0);
  server.end();
  EXPECT_EQ(ftpRecord.view.find("fwsecret"), std::string::npos) << ftpRecord.view;
  std::remove(script.c_str());
}

TEST(FtpFirewall, Target) {
  ftpHarnessReset();
  std::string host;
  int port = 0;
  EXPECT_EQ(ftpFirewallTarget("ftp.example", &host, &port), -1);
  regWriteString("FirewallAddressFTP", "fw.example");
  ASSERT_EQ(ftpFirewallTarget("ftp.example", &host, &port), 0);
  EXPECT_EQ(host, "fw.example");
  EXPECT_EQ(port, 23);
  regWriteString("FirewallPortFTP", "2121");
  ftpFirewallTarget("ftp.example", &host, &port);
  EXPECT_EQ(port, 2121);
  EXPECT_EQ(ftpFirewallTarget("", &host, &port), -1);
  EXPECT_EQ(ftpRecord.messages, (std::vector<std::string>{"error: Firewall address not specified",
                                                          "error: Host address not specified"}));
}
}  // namespace

// "127.000.0.010" is 127.0.0.10 to the user; the system converters read the
// zero-padded part as octal and would connect to 127.0.0.8.
TEST(FtpConnect, ZeroPaddedDottedDecimalReachesTheDecimalAddress) {
  ftpHarnessReset();
  int port = 0, listener = tcpListen(&port, 0x7F00000A);
  ASSERT_GE(listener, 0);
  EXPECT_EQ(ftpConnect("127.000.0.010", port, 3000), 0);
  ftpDisconnect();
  close(listener);
}
