// The Windows Sockets connection under Wine: asynchronous look-up, connect and
// read notifications reach the loopback Telnet server that tests/win32/run
// starts and its prompt lands on the screen; a refused connection and an
// unknown host give their messages; a script logs in over the connection.
#include <gtest/gtest.h>
#include <windows.h>
#include <winsock.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/script_terminal.h"
#include "telnet/netlink_win32.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"
#include "terminal/receive.h"
#include "terminal/surface_win32.h"
#include "win32_driver.h"

namespace {
// A socket listening on a loopback address; *port gets its port.
SOCKET listenOn(uint32_t address, int* port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(s, 1) != 0) return INVALID_SOCKET;
  int len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  *port = ntohs(a.sin_port);
  return s;
}

int closedPort() {
  int port = 0;
  closesocket(listenOn(INADDR_LOOPBACK, &port));
  return port;
}

// prepareTelnet and a connection to address:port; whether it was established.
bool connectTo(const char* address, int port) {
  if (!prepareTelnet()) return false;
  openLine(loopbackRequest(address, port));
  pumpUntil([] { return netEvents.established || lineEnded(); }, 10000);
  return netEvents.established;
}
}  // namespace

// The prompt arrives and a typed command runs; a script over the connection
// gets 1026 with 0, or 1 when the text never comes; the host's close ends it.
TEST(Win32Connection, ReachesTheLoopbackServerRunsScriptsAndEndsAtTheHostsClose) {
  MessageBoxCloser errors({"Error", "error"});
  ASSERT_NO_FATAL_FAILURE(connectToServer(true));
  EXPECT_TRUE(telnetState.windowSizeReporting) << "the server agreed to NAWS";
  typeLine("echo HELLO$((6*7))");
  EXPECT_TRUE(pumpUntil([] { return onScreen("HELLO42"); }, 10000)) << screenText();
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
  typeLine("exit");
  EXPECT_TRUE(pumpUntil([] { return netEvents.lost; }, 10000)) << "the host's close ends the connection";
  EXPECT_FALSE(netLinkUp());
  EXPECT_TRUE(errors.texts().empty());
}

// inetutils telnetd answers an interrupt with IAC DM as urgent data; under
// Wine as on Windows neither byte may reach the screen.
TEST(Win32Connection, InterruptAtTelnetdLeavesNoDataMark) {
  const char* port = getenv("SUITE_TEST_INETUTILS_PORT");
  ASSERT_NE(port, nullptr) << "tests/win32/run starts inetutils telnetd";
  MessageBoxCloser errors({"Error", "error"});
  ASSERT_TRUE(connectTo("127.0.0.1", atoi(port)));
  ASSERT_TRUE(pumpUntil([] { return onScreen("# "); }, 10000)) << screenText();
  for (const char* marker : {"ONE", "TWO"}) {
    typeLine("sleep 5");
    pumpUntil([] { return false; }, 300);
    const uint8_t interrupt = 0x03;
    sendBytes(&interrupt, 1);
    typeLine(std::string("echo ") + marker + "$((1+1))");
    std::string shown = std::string(marker) + "2";
    EXPECT_TRUE(pumpUntil([&] { return onScreen(shown.c_str()); }, 5000)) << screenText();
  }
  pumpUntil([] { return false; }, 300);
  EXPECT_EQ(screenText().find('\xF2'), std::string::npos) << screenText();
  typeLine("exit");
  EXPECT_TRUE(pumpUntil([] { return netEvents.lost; }, 10000));
  EXPECT_TRUE(errors.texts().empty());
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
    openLine(c.request);
    ASSERT_TRUE(pumpUntil([] { return lineEnded(); }, 15000)) << c.text;
    EXPECT_FALSE(netEvents.established);
    EXPECT_EQ(closer.texts(), std::vector<std::string>{c.text});
    EXPECT_EQ(closer.titles(), std::vector<std::string>{"Error"});
    EXPECT_FALSE(netConnecting());
    EXPECT_TRUE(IsWindowEnabled(mainWindow()));
  }
}

// The number of the last line of seven digits on the screen, 0 when none.
int lastNumberOnScreen() {
  std::string text = screenText();
  int last = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) break;
    if (end - at == 7 && text.find_first_not_of("0123456789", at) >= end) last = atoi(text.c_str() + at);
    at = end + 1;
  }
  return last;
}

// A host that never stops sending does not freeze the window: it repaints
// while the flood goes on, and in the end the last lines sent are the last
// lines on the screen, in order.
TEST(Win32Connection, AFloodingHostLeavesTheWindowUsableAndLosesNothing) {
  surfaceAttach(nullptr, nullptr, 8, 16);  // no window left over from other tests
  MessageBoxCloser closer({"Error", "error"});
  const char* port = getenv("SUITE_TEST_FLOOD_PORT");
  ASSERT_NE(port, nullptr) << "tests/win32/run starts the flooding host";
  ASSERT_TRUE(connectTo("127.0.0.1", atoi(port)));
  // The host fills the socket's buffers while nothing is read; then a repaint
  // is asked for and must come after a pass or two, not after the backlog.
  Sleep(1500);
  int before = std::max(lastNumberOnScreen(), 1000000);  // the first line is 1000001
  InvalidateRect(mainWindow(), nullptr, FALSE);
  EXPECT_TRUE(pumpUntil([] { return !GetUpdateRect(mainWindow(), nullptr, FALSE); }, 5000));
  const int linesPerPass = RECEIVE_BLOCKS_PER_PASS * RECEIVE_BLOCK / 9;
  EXPECT_LT(lastNumberOnScreen() - before, 3 * linesPerPass) << "lines taken before the window was painted";
  EXPECT_FALSE(onScreen("FLOOD42")) << "the window was painted only after the flood";
  ASSERT_TRUE(pumpUntil([] { return onScreen("FLOOD42"); }, 60000)) << screenText();
  EXPECT_TRUE(onScreen("2999998\n2999999\n3000000\n\nFLOOD42")) << screenText();
  EXPECT_TRUE(pumpUntil([] { return netEvents.lost; }, 5000)) << "the host closes after its last line";
}

void CALLBACK disconnectFromTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  netDisconnect();
}

// A host that stops reading (a listener that never takes the connection off
// its queue): a large write waits for it, and the window's Disconnect (here
// from a timer) still ends the wait and the connection. The host is reached
// as 127.000.0.010: a part with a leading zero is decimal here as on the
// host, 127.0.0.10 where the listener waits, not 127.0.0.8.
TEST(Win32Connection, DisconnectEndsAWriteThatWaitsForAHostThatStoppedReading) {
  MessageBoxCloser closer({"Error", "error"});
  ASSERT_TRUE(prepareTelnet());
  int port = 0;
  SOCKET listener = listenOn(0x7F00000A, &port);
  ASSERT_NE(listener, INVALID_SOCKET);
  ASSERT_TRUE(connectTo("127.000.0.010", port)) << (closer.texts().empty() ? "" : closer.texts()[0]);
  UINT_PTR timer = SetTimer(nullptr, 0, 500, disconnectFromTimer);
  std::vector<uint8_t> big(64 << 20, 'w');
  DWORD start = GetTickCount();
  EXPECT_EQ(linkWrite(big.data(), static_cast<int>(big.size())), -1);
  EXPECT_LT(GetTickCount() - start, 10000u);
  EXPECT_TRUE(netEvents.lost);
  EXPECT_FALSE(netLinkUp());
  KillTimer(nullptr, timer);
  closesocket(listener);
}

// A look-up cancelled while in flight must not write its answer into memory
// already given back: blocks of the buffer's size allocated right after the
// Cancel stay as allocated (all zero) once the late answers have come. The
// first round cancels with the button of the "Telnet connection" dialog; a
// late answer changes nothing and no error is shown.
TEST(Win32Connection, ACancelledLookUpWritesIntoNoFreedMemoryAndIgnoresTheLateAnswer) {
  MessageBoxCloser closer({"Error", "error"});
  for (int round = 0; round < 41; ++round) {
    ASSERT_TRUE(prepareTelnet());
    ASSERT_EQ(openLine(loopbackRequest("localhost", round ? 23 : telnetServerPort())), 0);
    if (round == 0) {
      HWND progress = netProgressWindow();
      ASSERT_NE(progress, nullptr);
      char title[64] = "";
      GetWindowTextA(progress, title, sizeof title);
      EXPECT_STREQ(title, "Telnet connection");
      SendMessageA(progress, WM_COMMAND, NET_CANCEL_BUTTON, 0);
      ASSERT_TRUE(pumpUntil([] { return lineEnded(); }, 5000));
      pumpUntil([] { return false; }, 500);
      EXPECT_FALSE(netEvents.established);
      continue;
    }
    // The Cancel is handled at once, while the look-up is still under way.
    netHandleMessage(mainWindow(), WM_NET_CANCEL, 0, 0);
    std::vector<HGLOBAL> blocks;
    for (int i = 0; i < 16; ++i) blocks.push_back(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1024));
    EXPECT_TRUE(lineEnded());
    pumpUntil([] { return false; }, 100);
    for (HGLOBAL block : blocks) {
      const uint8_t* bytes = static_cast<const uint8_t*>(GlobalLock(block));
      EXPECT_EQ(std::count(bytes, bytes + 1024, 0), 1024) << "round " << round;
      GlobalUnlock(block);
      GlobalFree(block);
    }
    EXPECT_FALSE(netEvents.established);
  }
  EXPECT_TRUE(closer.texts().empty());
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
}
