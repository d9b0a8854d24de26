// SCRIPTDLG over the Windows Sockets connection: a script logs into the
// loopback Telnet server that tests/win32/run starts, runs a command and waits
// for its output; the main window then receives 1026 with wParam 0, or 1 when
// the awaited text never comes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialog_driver.h"
#include "shell/pump.h"
#include "shell/script_dialog_win32.h"
#include "shell/script_terminal.h"
#include "telnet/net_connection.h"
#include "telnet/netlink_win32.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/emulator.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

namespace {
bool established = false, ended = false;
int doneCount = 0;
WPARAM doneResult = 99;

LRESULT CALLBACK mainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (netHandleMessage(w, m, wp, lp)) return 0;
  if (m == SCRIPT_DONE_MESSAGE) {
    ++doneCount;
    doneResult = wp;
    scriptDialogClose(w);
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

HWND mainWindow() {
  static HWND w = nullptr;
  if (w) return w;
  WNDCLASSA wc{};
  wc.lpfnWndProc = mainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ScriptTelnetMain";
  RegisterClassA(&wc);
  w = CreateWindowA("ScriptTelnetMain", "Script over Telnet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 400, 200,
                    nullptr, nullptr, wc.hInstance, nullptr);
  return w;
}

bool pumpUntil(bool (*done)(), DWORD ms) {
  DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < ms) {
    if (pumpOne() == 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return done();
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

std::string writeScript(const char* name, const char* text) {
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  std::string path = std::string(dir) + name;
  FILE* f = fopen(path.c_str(), "wb");
  fputs(text, f);
  fclose(f);
  return path;
}

// Connects to the loopback server and waits for its shell prompt.
void connectToServer() {
  const char* port = getenv("SUITE_TEST_TELNET_PORT");
  ASSERT_NE(port, nullptr) << "tests/win32/run starts the Telnet server";
  established = ended = false;
  doneCount = 0;
  ASSERT_EQ(netStartup(), 0);
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  terminalOptions.emulation = 4;
  emulatorConnectionStart();
  telnetSession = {};
  snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "vt100");
  netOnEstablished = [] {
    established = true;
    telnetAttachTerminal();
    telnetOnConnected();
  };
  netOnAttemptEnded = [] { ended = true; };
  netReceivePass = receiveAvailable;
  NetRequest r{};
  snprintf(r.address, sizeof r.address, "127.0.0.1");
  r.port = atoi(port);
  ASSERT_EQ(netConnect(mainWindow(), r), 0);
  ASSERT_TRUE(pumpUntil([] { return established || ended; }, 10000));
  ASSERT_TRUE(established);
  ASSERT_TRUE(pumpUntil([] { return screenText().find("# ") != std::string::npos; }, 10000)) << screenText();
  scriptAttachTerminal();
}

void runScript(const char* name, const char* text) {
  doneCount = 0;
  doneResult = 99;
  ScriptEnv env;
  env.processIncoming = receiveAvailable;
  env.sendChar = scriptSendChar;
  std::string path = writeScript(name, text);
  ASSERT_NE(scriptRun(mainWindow(), path.c_str(), env, SCRIPT_DIALOG_NETWORK), nullptr);
  EXPECT_TRUE(pumpUntil([] { return doneCount > 0; }, 15000));
}
}  // namespace

TEST(ScriptOverTelnet, RunsACommandAndWaitsForItsOutput) {
  ASSERT_NO_FATAL_FAILURE(connectToServer());
  MessageBoxCloser closer;
  runScript("telnet-ok.scr", "SEND \"echo SCRIPT$((6*7))^M\"\r\nWAITSTRING \"script42\"\r\nEXIT\r\n");
  EXPECT_EQ(doneResult, 0u);
  EXPECT_NE(screenText().find("SCRIPT42"), std::string::npos) << screenText();
  EXPECT_TRUE(closer.texts().empty());

  runScript("telnet-fail.scr", "TIMEOUT 1\r\nSEND \"echo A B^M\"\r\nWAITSTRING \"A  B\"\r\nEXIT\r\n");
  EXPECT_EQ(doneResult, 1u);
  ASSERT_EQ(closer.texts().size(), 1u);
  EXPECT_EQ(closer.texts()[0], "No matching string found within timeout period");
  netDisconnect();
}
