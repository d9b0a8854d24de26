#include "ftp/ftp_firewall.h"

#include <cstring>

#include "ftp/ftp_session.h"
#include "shell/script.h"
#include "shell/settings.h"
#include "shell/net_address.h"
#include "terminal/link.h"

namespace {
// The current line of what the firewall wrote, for the script's WAITSTRING.
std::string line;

int processIncoming() {
  uint8_t bytes[256];
  int n = ReceiveControlBytes(bytes, sizeof bytes);
  if (n < 0) return LINK_LOST;
  ftpHooks.writeSession(reinterpret_cast<char*>(bytes), n);
  for (int i = 0; i < n; ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      line.clear();
      continue;
    }
    if (line.size() >= 255) line.erase(0, 1);
    line += static_cast<char>(bytes[i]);
    scriptLineMatch(reinterpret_cast<const uint8_t*>(line.data()), static_cast<int>(line.size()));
  }
  return 0;
}

void sendChar(uint8_t ch, bool secret) {
  SendControlBytes(&ch, 1);
  if (!secret) ftpHooks.writeSession(reinterpret_cast<char*>(&ch), 1);
}

bool askPassword(std::string* password) {
  char text[256] = {};
  bool save = false;
  if (!ftpHooks.askPassword(text, sizeof text, &save) || !text[0]) return false;
  *password = text;
  return true;
}
}  // namespace

int ftpFirewallTarget(const char* entryHost, std::string* host, int* port) {
  char address[256];
  regReadString("FirewallAddressFTP", "", address, sizeof address);
  if (!address[0] || !entryHost || !entryHost[0]) {
    ftpHooks.message(!address[0] ? NET_TEXT_NO_FIREWALL : NET_TEXT_NO_HOST, "error");
    return -1;
  }
  *host = address;
  *port = regReadInt("FirewallPortFTP", 23);
  if (*port <= 0 || *port > 65535) *port = 23;  // the TELNET service
  return 0;
}

int ftpFirewallLogin(const char* scriptPath, const std::string& site, int port) {
  ScriptEnv env;
  env.processIncoming = processIncoming;
  env.sendChar = sendChar;
  env.askPassword = askPassword;
  env.site = site;
  env.port = port;
  env.defaultPort = 21;
  env.pauseMs = 0;
  line.clear();
  if (scriptExecute(scriptPath, env) != 0) {
    ftpDisconnect();
    return -1;
  }
  ftp.viaFirewall = true;
  return 0;
}
