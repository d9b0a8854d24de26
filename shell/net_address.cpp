#include "shell/net_address.h"

#include <cstdio>

bool netDottedDecimalBytes(const char* text, uint8_t bytes[4]) {
  const char* p = text;
  for (int part = 0; part < 4; ++part) {
    // Each part is read as decimal whatever its leading zeros, so the same
    // text reaches the same host on every platform.
    int digits = 0, value = 0;
    while (*p >= '0' && *p <= '9' && digits < 4) value = value * 10 + (*p++ - '0'), ++digits;
    if (digits == 0 || digits > 3 || value > 255) return false;
    bytes[part] = static_cast<uint8_t>(value);
    if (part < 3 && *p++ != '.') return false;
  }
  return *p == '\0';
}

bool netIsDottedDecimal(const char* text) {
  uint8_t bytes[4];
  return netDottedDecimalBytes(text, bytes);
}

void netConnectFailureText(int error, char* text, int size) {
  if (error == NET_TIMEDOUT) snprintf(text, static_cast<size_t>(size), "Failed to connect, Connection timed out");
  else if (error == NET_CONNREFUSED)
    snprintf(text, static_cast<size_t>(size), "Failed to connect, Connection refused, check host ip address");
  else snprintf(text, static_cast<size_t>(size), "Failed to connect, %d", error);
}

bool netSendErrorIsFatal(int error) {
  switch (error) {
    case NET_NETDOWN: case NET_NETRESET: case NET_CONNABORTED:
    case NET_CONNRESET: case NET_NOTCONN: case NET_SHUTDOWN:
      return true;
    default:
      return false;
  }
}
