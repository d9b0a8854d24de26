#include "telnet/window_title.h"

namespace {
constexpr const char* PROGRAM_TITLE = "Kelvro32-Telnet";
}

std::string telnetWindowTitle(const char* host, bool connected) {
  if (!connected || !host || !*host) return PROGRAM_TITLE;
  return std::string(PROGRAM_TITLE) + " - " + host;
}
