#include "win32_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "frame/frame_session.h"
#include "frame/frame_win32.h"
#include "shell/program_dir.h"
#include "shell/pump.h"
#include "shell/script_dialog_win32.h"
#include "shell/script_terminal.h"
#include "shell/settings.h"
#include "telnet/netlink_win32.h"
#include "telnet/telnet_connection.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/emulator.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

int scriptDone = 0;
WPARAM scriptResult = 99;
NetEvents netEvents;

namespace {
LRESULT CALLBACK mainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (netHandleMessage(w, m, wp, lp)) return 0;
  if (m == SCRIPT_DONE_MESSAGE) {
    ++scriptDone;
    scriptResult = wp;
    scriptDialogClose(w);
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

struct Find {
  const char* title;
  bool anyProcess;
  HWND found;
};
BOOL CALLBACK findTitle(HWND w, LPARAM lp) {
  Find* f = reinterpret_cast<Find*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  // InternalGetWindowText sends no message: the window's thread may be the
  // one waiting for this thread.
  WCHAR text[256];
  char narrow[256];
  if ((f->anyProcess || pid == GetCurrentProcessId()) && IsWindowVisible(w) && InternalGetWindowText(w, text, 256) &&
      WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr) &&
      strcmp(narrow, f->title) == 0) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND mainWindow() {
  static HWND w = nullptr;
  if (w) return w;
  WNDCLASSA wc{};
  wc.lpfnWndProc = mainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SuiteTestMain";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassA(&wc);
  w = CreateWindowA("SuiteTestMain", "Suite test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 500, 300, nullptr,
                    nullptr, wc.hInstance, nullptr);
  return w;
}

bool pumpUntil(const std::function<bool()>& done, DWORD ms) {
  DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < ms)
    if (pumpOne() == 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  return done();
}

bool onScreen(const char* text) { return screenText().find(text) != std::string::npos; }

std::string tempPath(const std::string& name) {
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  return dir + name;
}

std::string writeTempFile(const char* name, const std::string& text) {
  std::string path = tempPath(name);
  FILE* f = fopen(path.c_str(), "wb");
  fputs(text.c_str(), f);
  fclose(f);
  return path;
}

HWND startScript(const char* name, const std::string& text) {
  scriptDone = 0;
  scriptResult = 99;
  // The real byte path: the receive pass shows the echo and gives each new
  // line to the script's match.
  ScriptEnv env;
  env.processIncoming = receiveAvailable;
  env.sendChar = scriptSendChar;
  return scriptRun(mainWindow(), writeTempFile(name, text).c_str(), env, SCRIPT_DIALOG_NETWORK);
}

bool waitScript(DWORD ms) {
  return pumpUntil([] { return scriptDone > 0; }, ms);
}

std::string freshProgramDir(const char* name) {
  std::filesystem::path dir = tempPath(name + std::to_string(GetCurrentProcessId()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  setProgramDir(dir.string());
  return dir.string();
}

void deleteSetting(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, name);
    RegCloseKey(key);
  }
}

namespace {
// The Telnet line as the programs have it, with the test window standing in
// for the main window and the steps of a session observed.
FrameConnection testLine;
}  // namespace

bool prepareTelnet() {
  netEvents = NetEvents{};
  if (netStartup() != 0 || terminalReset(24, 80, 1000) != 0) return false;
  terminalOptions.emulation = 4;
  emulatorConnectionStart();
  testLine = TELNET_CONNECTION;
  testLine.attach = [] {
    netEvents.established = true;
    TELNET_CONNECTION.attach();
  };
  testLine.sessionEnd = [](uint8_t*) { netEvents.lost = true; };
  frameReset(&testLine, nullptr);
  frameUseWindow(mainWindow());
  return true;
}

FrameConnection& testConnection() { return testLine; }

bool lineEnded() { return frameSession.state == FrameState::Offline && !netEvents.established; }

int openLine(const NetRequest& request) {
  SessionProfile profile{};
  profile.kind = PROFILE_TELNET;
  snprintf(profile.address, sizeof profile.address, "%s", request.address);
  profile.port = request.port;
  profile.rlogin = request.rlogin;
  profile.useFirewall = request.useFirewall;
  profile.emulation = 4;
  snprintf(profile.terminalId, sizeof profile.terminalId, "vt100");
  return frameOpen(profile);
}

int telnetServerPort() {
  const char* port = getenv("SUITE_TEST_TELNET_PORT");
  return port ? atoi(port) : 0;
}

void connectToServer(bool checked) {
  ASSERT_NE(telnetServerPort(), 0) << "tests/win32/run starts the Telnet server";
  ASSERT_TRUE(prepareTelnet());
  HWND w = mainWindow();
  ASSERT_EQ(openLine(loopbackRequest("localhost", telnetServerPort())), 0);
  if (checked) EXPECT_TRUE(netConnecting()) << "the host look-up answers later, as a message";
  ASSERT_TRUE(pumpUntil([] { return netEvents.established || lineEnded(); }, 10000));
  ASSERT_TRUE(netEvents.established);
  if (checked) {
    EXPECT_FALSE(netConnecting());
    EXPECT_TRUE(IsWindowEnabled(w));
    EXPECT_TRUE(receiveEightBit);
  }
  ASSERT_TRUE(pumpUntil([] { return onScreen("# "); }, 10000)) << screenText();
}

void receive(const std::string& bytes) {
  processReceived(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
}

void typeLine(const std::string& line) {
  std::string typed = line + "\r";
  sendBytes(reinterpret_cast<const uint8_t*>(typed.data()), static_cast<int>(typed.size()));
}

void endSession() {
  typeLine("exit");
  pumpUntil([] { return !netLinkUp(); }, 10000);
}

NetRequest loopbackRequest(const char* address, int port) {
  NetRequest r{};
  snprintf(r.address, sizeof r.address, "%s", address);
  r.port = port;
  return r;
}

HWND waitForWindow(const char* title, DWORD ms, bool anyProcess) {
  DWORD start = GetTickCount();
  do {
    Find f{title, anyProcess, nullptr};
    EnumWindows(findTitle, reinterpret_cast<LPARAM>(&f));
    if (f.found) return f.found;
    Sleep(20);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

MessageBoxCloser::MessageBoxCloser(std::vector<std::string> titles, bool any)
    : anyProcess(any), watched(std::move(titles)) {
  worker = std::thread([this] {
    while (!stop) {
      HWND box = nullptr;
      std::string title;
      for (const std::string& t : watched) {
        box = waitForWindow(t.c_str(), 50 / static_cast<DWORD>(watched.size()), anyProcess);
        title = t;
        if (box) break;
      }
      if (!box) continue;
      char text[1024] = "";
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's static text
      {
        std::lock_guard<std::mutex> hold(lock);
        seen.push_back(text);
        seenTitles.push_back(title);
      }
      SendMessageA(box, WM_COMMAND, IDOK, 0);
      Sleep(50);
    }
  });
}

MessageBoxCloser::~MessageBoxCloser() {
  stop = true;
  worker.join();
}

std::vector<std::string> MessageBoxCloser::titles() {
  std::lock_guard<std::mutex> hold(lock);
  return seenTitles;
}

std::vector<std::string> MessageBoxCloser::texts() {
  std::lock_guard<std::mutex> hold(lock);
  return seen;
}
