// The firewall (proxy) login: the connection goes to the firewall host of the
// settings, and the script "pxftp.txt" talks to it before the FTP login.
#pragma once
#include <string>

// Firewall host and port from the settings ("FirewallAddressFTP",
// "FirewallPortFTP", 23 when absent or 0). -1 after "Firewall address not
// specified" (or "Host address not specified" for an empty entryHost).
int ftpFirewallTarget(const char* entryHost, std::string* host, int* port);
// Runs the script over the control connection: its SEND text goes to the
// firewall ($SITE and $PORT name the FTP server; $PASS is asked for), its
// WAITSTRING reads what the firewall writes, which the session view shows.
// 0 when the script completed; -1 after a failure or cancel, disconnected.
int ftpFirewallLogin(const char* scriptPath, const std::string& site, int port);
