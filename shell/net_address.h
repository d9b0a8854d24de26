// What every line over TCP shares, the Telnet line and the FTP client alike:
// dotted-decimal addresses, the socket error numbers the connections tell
// apart, and the texts of a failed connection.
#pragma once
#include <cstdint>

// Texts of the connection (status lines of the progress dialog, messages).
constexpr const char* NET_TEXT_CONNECTING_TO = "Connecting ";
constexpr const char* NET_TEXT_RESOLVING = "Resolving Address";
constexpr const char* NET_TEXT_SERVICE = "Getting Servicename";
constexpr const char* NET_TEXT_CONNECTING = "Connecting";
constexpr const char* NET_TEXT_NO_HOST = "Host address not specified";
constexpr const char* NET_TEXT_NO_FIREWALL = "Firewall address not specified";
constexpr const char* NET_TEXT_HOST_ERROR = "Error getting host address";
constexpr const char* NET_TEXT_CONNECT_FAILED = "Connect failed";
constexpr const char* NET_TEXT_RLOGIN_EVENTS = "Failed to connect";
constexpr const char* NET_TEXT_RLOGIN_CONNECT = "Error in connecting:%d";
constexpr const char* NET_TEXT_STARTUP = "Could not initialize socket start up";
constexpr const char* NET_TITLE_PROGRESS = "Telnet connection";

// Socket error codes the connection tells apart (the Windows Sockets numbers;
// the POSIX driver translates errno into them).
enum NetError {
  NET_WOULDBLOCK = 10035,
  NET_ADDRINUSE = 10048,
  NET_NETDOWN = 10050,
  NET_NETRESET = 10052,
  NET_CONNABORTED = 10053,
  NET_CONNRESET = 10054,
  NET_NOBUFS = 10055,
  NET_NOTCONN = 10057,
  NET_SHUTDOWN = 10058,
  NET_TIMEDOUT = 10060,
  NET_CONNREFUSED = 10061,
};

bool netIsDottedDecimal(const char* text);
// The four parts of a dotted-decimal address, each read as decimal (leading
// zeros are not octal). False when text is not one.
bool netDottedDecimalBytes(const char* text, uint8_t bytes[4]);
// The message for a failed asynchronous connect.
void netConnectFailureText(int error, char* text, int size);
// Whether a send error (a NetError number) means the connection is gone.
bool netSendErrorIsFatal(int error);
