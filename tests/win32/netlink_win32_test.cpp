// The Windows Sockets connection under Wine: asynchronous look-up, connect and
// read notifications reach the loopback Telnet server that tests/win32/run
// starts and its prompt lands on the screen; a refused connection and an
// unknown host give their messages; a script logs in over the connection.
#include <gtest/gtest.h>
#include <windows.h>
#include <winsock.h>

#include "shell/script_terminal.h"
#include "telnet/netlink_win32.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"
#include "terminal/receive.h"
#include "win32_driver.h"

namespace {
int closedPort() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  int len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  closesocket(s);
  return ntohs(a.sin_port);
}

void typeLine(const char* line) {
  std::string typed = std::string(line) + "\r";
  sendBytes(reinterpret_cast<const uint8_t*>(typed.data()), static_cast<int>(typed.size()));
}

// Connects to the runner's server and waits for its shell prompt.
void connectToServer() {
  ASSERT_NE(telnetServerPort(), 0) << "tests/win32/run starts the Telnet server";
  ASSERT_TRUE(prepareTelnet());
  HWND w = mainWindow();
  ASSERT_EQ(netConnect(w, loopbackRequest("localhost", telnetServerPort())), 0);
  EXPECT_TRUE(netConnecting()) << "the host look-up answers later, as a message";
  ASSERT_TRUE(pumpUntil([] { return netEvents.established || netEvents.ended; }, 10000));
  ASSERT_TRUE(netEvents.established);
  EXPECT_FALSE(netConnecting());
  EXPECT_TRUE(IsWindowEnabled(w));
  EXPECT_TRUE(receiveEightBit);
  ASSERT_TRUE(pumpUntil([] { return onScreen("# "); }, 10000)) << screenText();
}
}  // namespace

TEST(Win32Connection, ReachesTheLoopbackServerAndThePromptArrives) {
  MessageBoxCloser closer({"Error", "error"});
  ASSERT_NO_FATAL_FAILURE(connectToServer());
  EXPECT_TRUE(telnetState.windowSizeReporting) << "the server agreed to NAWS";
  typeLine("echo HELLO$((6*7))");
  EXPECT_TRUE(pumpUntil([] { return onScreen("HELLO42"); }, 10000)) << screenText();
  typeLine("exit");
  EXPECT_TRUE(pumpUntil([] { return netEvents.lost; }, 10000)) << "the host's close ends the connection";
  EXPECT_FALSE(netLinkUp());
  EXPECT_TRUE(closer.texts().empty());
}

// A script over the connection; 1026 carries 0, or 1 when the text never comes.
TEST(Win32Connection, ScriptRunsACommandAndWaitsForItsOutput) {
  ASSERT_NO_FATAL_FAILURE(connectToServer());
  scriptAttachTerminal();
  MessageBoxCloser closer;
  ASSERT_NE(startScript("telnet-ok.scr", "SEND \"echo SCRIPT$((6*7))^M\"\r\nWAITSTRING \"script42\"\r\nEXIT\r\n"),
            nullptr);
  EXPECT_TRUE(waitScript());
  EXPECT_EQ(scriptResult, 0u);
  EXPECT_TRUE(onScreen("SCRIPT42")) << screenText();
  EXPECT_TRUE(closer.texts().empty());
  startScript("telnet-fail.scr", "TIMEOUT 1\r\nSEND \"echo A B^M\"\r\nWAITSTRING \"A  B\"\r\nEXIT\r\n");
  EXPECT_TRUE(waitScript());
  EXPECT_EQ(scriptResult, 1u);
  EXPECT_EQ(closer.texts(), std::vector<std::string>{"No matching string found within timeout period"});
  netDisconnect();
}

TEST(Win32Connection, RefusedAndUnknownHostsGiveTheirMessages) {
  struct Case {
    NetRequest request;
    const char* text;
  } cases[] = {{loopbackRequest("127.0.0.1", closedPort()), "Failed to connect, Connection refused, check host ip address"},
               {loopbackRequest("no-such-host.invalid", 23), "Error getting host address"}};
  for (const Case& c : cases) {
    MessageBoxCloser closer({"Error", "error"});
    ASSERT_TRUE(prepareTelnet());
    netConnect(mainWindow(), c.request);
    ASSERT_TRUE(pumpUntil([] { return netEvents.ended; }, 15000)) << c.text;
    EXPECT_FALSE(netEvents.established);
    EXPECT_EQ(closer.texts(), std::vector<std::string>{c.text});
    EXPECT_EQ(closer.titles(), std::vector<std::string>{"Error"});
    EXPECT_FALSE(netConnecting());
    EXPECT_TRUE(IsWindowEnabled(mainWindow()));
  }
}

TEST(Win32Connection, CancelDuringTheLookUpIgnoresTheLateAnswer) {
  MessageBoxCloser closer({"Error", "error"});
  ASSERT_TRUE(prepareTelnet());
  ASSERT_EQ(netConnect(mainWindow(), loopbackRequest("localhost", telnetServerPort())), 0);
  HWND progress = netProgressWindow();
  ASSERT_NE(progress, nullptr);
  char title[64] = "";
  GetWindowTextA(progress, title, sizeof title);
  EXPECT_STREQ(title, "Telnet connection");
  SendMessageA(progress, WM_COMMAND, NET_CANCEL_BUTTON, 0);
  ASSERT_TRUE(pumpUntil([] { return netEvents.ended; }, 5000));
  pumpUntil([] { return false; }, 500);  // a late look-up answer must change nothing
  EXPECT_FALSE(netEvents.established);
  EXPECT_TRUE(closer.texts().empty());
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
}
