// The firewall login: the script talks to a scripted firewall over the
// control connection, then the FTP login follows on the same connection.
#include <gtest/gtest.h>

#include <fstream>

#include "ftp/ftp_firewall.h"
#include "ftp/ftp_session.h"
#include "shell/settings.h"
#include "tests/ftp/ftp_harness.h"

namespace {
using S = std::vector<ScriptStep>;

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
