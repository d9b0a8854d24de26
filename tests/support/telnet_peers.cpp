#include "tests/support/telnet_peers.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/message_box_posix.h"
#include "shell/settings_posix.h"
#include "telnet/netlink_posix.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"
#include "terminal/terminal_type.h"
#include "tests/support/peers.h"
#include "tests/support/screen_text.h"

// socat accepting on 127.0.0.1:port and running command for each connection.
static pid_t perConnection(int port, const std::string& command, const std::string& logName) {
  return peerStart({"socat", "TCP-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr,fork", command}, logName);
}

pid_t startInetutilsTelnetd(int port) {
  return perConnection(port, "EXEC:/usr/sbin/telnetd -h -E /bin/sh,nofork", "inetutils-telnetd");
}

pid_t startTelnetdWithLogin(int port) {
  return perConnection(port, "EXEC:/usr/sbin/telnetd -h,nofork", "telnetd-login");
}

pid_t startBusyboxTelnetd(int port) {
  return peerStart({"busybox", "telnetd", "-F", "-K", "-l", "/bin/sh", "-f", "/dev/null", "-p", std::to_string(port),
                    "-b", "127.0.0.1"},
                   "busybox-telnetd");
}

pid_t startRlogind(int port) {
  return perConnection(port, "SYSTEM:exec /usr/sbin/in.rlogind 2>&1,nofork", "rlogind");
}

const char* rloginTestUser() { return "peertest"; }

bool rloginTrustLocalhost() {
  const passwd* pw = getpwnam(rloginTestUser());
  if (!pw) return false;
  std::string path = std::string(pw->pw_dir) + "/.rhosts";
  const passwd* me = getpwuid(getuid());
  std::string text = std::string("localhost ") + rloginTestUser() + "\n";
  if (me && std::string(me->pw_name) != rloginTestUser()) text += std::string("localhost ") + me->pw_name + "\n";
  {
    std::ofstream out(path, std::ios::trunc);
    out << text;
    if (!out) return false;
  }
  return chown(path.c_str(), pw->pw_uid, pw->pw_gid) == 0 && chmod(path.c_str(), 0600) == 0;
}

int telnetConnectLoopback(int port, const char* terminalId, bool rlogin, const char* address) {
  telnetSession = {};
  telnetSession.rlogin = rlogin;
  telnetSession.columns = 80;
  telnetSession.rows = 24;
  snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "%s", terminalId);
  NetRequest r{};
  snprintf(r.address, sizeof r.address, "%s", address);
  r.port = port;
  r.rlogin = rlogin;
  return netConnectPosix(r, 3000);
}

int telnetOpenVt100(int port, const char* terminalId, bool rlogin, const char* address, bool binary) {
  settingsReset();
  messagesClear();
  if (terminalReset(24, 80, 1000) != 0) return -1;
  terminalOptions.emulation = TERM_VT100;
  emulatorConnectionStart();
  int result = telnetConnectLoopback(port, terminalId, rlogin, address);
  if (result != 0) return result;
  telnetSession.binaryMode = binary;
  telnetAttachTerminal();
  telnetOnConnected();
  return 0;
}

int countOnScreen(const std::string& text) {
  std::string all = screenText();
  int n = 0;
  for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) ++n;
  return n;
}

bool pumpUntilOnScreen(const std::string& text, int ms, int count) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (countOnScreen(text) >= count) return true;
    if (netWaitInput(20) && receiveAvailable() == LINK_LOST) break;
  }
  return countOnScreen(text) >= count;
}

int telnetAttachTextTerminal() {
  if (terminalReset(24, 80, MAX_CAPACITY) != 0) return -1;
  terminalOptions.emulation = TERM_TTY;
  emulatorConnectionStart();
  telnetAttachTerminal();
  return 0;
}

namespace {
// Everything on the TTY terminal since it was attached: its lines from the
// oldest held to the cursor's, each line's used cells.
std::string textReceived() {
  std::string all;
  for (int line = screen.oldest;; line = (line + 1) % screen.capacity) {
    const ScreenLine& l = screen.text[line];
    all.append(reinterpret_cast<const char*>(l.cells), static_cast<size_t>(l.used));
    if (line == (screen.liveTop + screen.row) % screen.capacity) break;
  }
  return all;
}
}  // namespace

int telnetPump(std::string* data, int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  int result = 0;
  do {
    if (netWaitInput(10)) result = receiveAvailable();
  } while (result != LINK_LOST && std::chrono::steady_clock::now() < end);
  *data = textReceived();
  return result;
}

bool telnetPumpUntil(std::string* data, const std::string& text, int ms, size_t from) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (data->find(text, from) != std::string::npos) return true;
    if (telnetPump(data, 20) == LINK_LOST) return data->find(text, from) != std::string::npos;
  }
  return data->find(text, from) != std::string::npos;
}
