// The Windows Sockets connection under Wine: asynchronous look-up, connect and
// read notifications reach a loopback Telnet server and its prompt lands in
// the screen buffer; a refused connection and an unknown host give their
// messages. tests/win32/run starts the server and passes its port.
#include <gtest/gtest.h>
#include <windows.h>
#include <winsock.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "screenshot.h"
#include "telnet/net_connection.h"
#include "telnet/netlink_win32.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

namespace {
struct Shown {
  std::string text, title;
};
std::vector<Shown> shown;
bool established = false, ended = false, lost = false;

int recordMessage(const char* text, const char* title, unsigned) {
  shown.push_back({text, title});
  return IDOK;
}

LRESULT CALLBACK mainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (netHandleMessage(w, m, wp, lp)) return 0;
  return DefWindowProcA(w, m, wp, lp);
}

HWND mainWindow() {
  static HWND w = nullptr;
  if (w) return w;
  WNDCLASSA wc{};
  wc.lpfnWndProc = mainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "NetTestMain";
  RegisterClassA(&wc);
  w = CreateWindowA("NetTestMain", "Net test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                    wc.hInstance, nullptr);
  return w;
}

void prepare() {
  shown.clear();
  established = ended = lost = false;
  ASSERT_EQ(netStartup(), 0);
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  terminalOptions.emulation = 4;
  emulatorConnectionStart();
  telnetSession = {};
  snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "vt100");
  netShowMessage = recordMessage;
  netOnEstablished = [] {
    established = true;
    telnetAttachTerminal();
    telnetOnConnected();
  };
  netOnAttemptEnded = [] { ended = true; };
  netOnLost = [] { lost = true; };
  netReceivePass = receiveAvailable;
}

std::string screenText() {
  std::string all;
  for (int r = 0; r < screen.rows; ++r) {
    const ScreenLine& line = lineAt(r);
    all.append(reinterpret_cast<const char*>(line.cells), static_cast<size_t>(line.used));
    all += '\n';
  }
  return all;
}

// Runs the message loop until done() or ms pass.
template <typename Done>
bool pumpUntil(Done done, DWORD ms) {
  DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return done();
}

NetRequest request(const char* address, int port) {
  NetRequest r{};
  snprintf(r.address, sizeof r.address, "%s", address);
  r.port = port;
  return r;
}

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
}  // namespace

TEST(Win32Connection, ReachesTheLoopbackServerAndThePromptArrives) {
  const char* port = getenv("SUITE_TEST_TELNET_PORT");
  ASSERT_NE(port, nullptr) << "tests/win32/run starts the Telnet server";
  prepare();
  HWND w = mainWindow();
  ASSERT_EQ(netConnect(w, request("localhost", atoi(port))), 0);
  EXPECT_TRUE(netConnecting()) << "the host look-up answers later, as a message";
  ASSERT_TRUE(pumpUntil([] { return established || ended; }, 10000));
  ASSERT_TRUE(established) << (shown.empty() ? "" : shown[0].text);
  EXPECT_FALSE(netConnecting());
  EXPECT_TRUE(IsWindowEnabled(w));
  EXPECT_TRUE(linkEightBit);
  EXPECT_TRUE(pumpUntil([] { return screenText().find("# ") != std::string::npos; }, 10000)) << screenText();
  EXPECT_TRUE(telnetState.windowSizeReporting) << "the server agreed to NAWS";
  const char line[] = "echo HELLO$((6*7))\r";
  sendBytes(reinterpret_cast<const uint8_t*>(line), sizeof line - 1);
  EXPECT_TRUE(pumpUntil([] { return screenText().find("HELLO42") != std::string::npos; }, 10000)) << screenText();
  const char exitLine[] = "exit\r";
  sendBytes(reinterpret_cast<const uint8_t*>(exitLine), sizeof exitLine - 1);
  EXPECT_TRUE(pumpUntil([] { return lost; }, 10000)) << "the host's close ends the connection";
  EXPECT_FALSE(netLink.connected);
  EXPECT_TRUE(shown.empty());
}

TEST(Win32Connection, RefusedConnectionGivesItsMessage) {
  prepare();
  ASSERT_EQ(netConnect(mainWindow(), request("127.0.0.1", closedPort())), 0);
  ASSERT_TRUE(pumpUntil([] { return ended; }, 10000));
  EXPECT_FALSE(established);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Failed to connect, Connection refused, check host ip address");
  EXPECT_EQ(shown[0].title, "Error");
  EXPECT_FALSE(netConnecting());
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
}

TEST(Win32Connection, UnknownHostGivesItsMessage) {
  prepare();
  netConnect(mainWindow(), request("no-such-host.invalid", 23));
  ASSERT_TRUE(pumpUntil([] { return ended; }, 15000));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Error getting host address");
  EXPECT_EQ(shown[0].title, "Error");
  EXPECT_FALSE(established);
}

TEST(Win32Connection, CancelDuringTheLookUpIgnoresTheLateAnswer) {
  prepare();
  const char* port = getenv("SUITE_TEST_TELNET_PORT");
  ASSERT_NE(port, nullptr);
  ASSERT_EQ(netConnect(mainWindow(), request("localhost", atoi(port))), 0);
  HWND progress = netProgressWindow();
  ASSERT_NE(progress, nullptr);
  char title[64] = "";
  GetWindowTextA(progress, title, sizeof title);
  EXPECT_STREQ(title, "Telnet connection");
  SendMessageA(progress, WM_COMMAND, NET_CANCEL_BUTTON, 0);
  ASSERT_TRUE(pumpUntil([] { return ended; }, 5000));
  pumpUntil([] { return false; }, 500);  // a late look-up answer must change nothing
  EXPECT_FALSE(established);
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
}
