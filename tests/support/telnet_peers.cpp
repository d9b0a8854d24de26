#include "tests/support/telnet_peers.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "telnet/netlink_posix.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"
#include "tests/support/peers.h"

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

int telnetPump(std::string* data, int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    if (!netWaitInput(10)) continue;
    uint8_t block[1023];
    int n = linkRead(block, sizeof block);
    if (n == LINK_LOST) return LINK_LOST;
    for (int i = 0; i < n; ++i) {
      uint8_t b = block[i];
      if (telnetState.inCommand) {
        int d = telnetCommandByte(b);
        if (d >= 0) *data += static_cast<char>(d);
      } else if (b == 0xFF && !telnetSession.rlogin) {
        telnetStartCommand();
      } else {
        *data += static_cast<char>(b);
      }
    }
  } while (std::chrono::steady_clock::now() < end);
  return 0;
}

bool telnetPumpUntil(std::string* data, const std::string& text, int ms, size_t from) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (data->find(text, from) != std::string::npos) return true;
    if (telnetPump(data, 20) == LINK_LOST) return data->find(text, from) != std::string::npos;
  }
  return data->find(text, from) != std::string::npos;
}
