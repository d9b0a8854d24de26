#include "shell/settings_defaults.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "shell/program_dir.h"
#include "shell/settings.h"

const ProgramSettings TELNET_SETTINGS = {
    "telnetw",        "telneth",       "telnetx",        "telnety",
    "WarnClose_Telnet", "Toolbar_Telnet", "Statusbar_Telnet", "DiscBox_Telnet",
    "BookBox_Telnet", BOOKBOX_NONE,    BOOKBOX_NONE,     "FirewallAddressTelnet",
    "FirewallPortTelnet"};
const ProgramSettings DIALUP_SETTINGS = {
    "dialupw", "dialuph", "dialupx", "dialupy", "WarnClose", "Toolbar", "Statusbar", "DiscBox",
    "BookBox", 0,         1,         nullptr,   nullptr};
const ProgramSettings FTP_SETTINGS = {
    "ftpw",          "ftph",         "ftpx",            "ftpy",          "WarnClose_FTP",
    "Toolbar_FTP",   "Statusbar_FTP", "DiscBox_FTP",    "BookBox_FTP",   BOOKBOX_FTP_NONE,
    1,               "FirewallAddressFTP", "FirewallPortFTP"};

int regWriteInt(const char* name, int value) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  return regWriteString(name, text);
}

bool readFlag(const char* name, int dflt) { return regReadInt(name, dflt) != 0; }

WindowPlacement readWindowPlacement(const ProgramSettings& program) {
  WindowPlacement p;
  p.width = regReadInt(program.width, 0);
  p.height = regReadInt(program.height, 0);
  p.left = regReadInt(program.left, 0);
  p.top = regReadInt(program.top, 0);
  p.systemDefault = p.width <= 0 || p.height <= 0;
  return p;
}

void writeWindowPlacement(const ProgramSettings& program, const WindowPlacement& p) {
  regWriteInt(program.width, p.width);
  regWriteInt(program.height, p.height);
  regWriteInt(program.left, p.left);
  regWriteInt(program.top, p.top);
}

int readScrollLines() {
  int lines = regReadInt(SETTING_SCROLL, SCROLL_DEFAULT);
  return lines < SCROLL_MIN ? SCROLL_MIN : lines;
}

std::string readProgramDirectory(const char* valueName, const char* subdir) {
  char stored[1025];
  if (regReadString(valueName, "", stored, sizeof stored) > 0) return stored;
  std::string dir = programPath(subdir);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  regWriteString(valueName, dir.c_str());
  return dir;
}

std::string readFirewallAddress(const ProgramSettings& program) {
  if (!program.firewallAddress) return std::string();
  char text[FIREWALL_ADDRESS_MAX + 1];
  regReadString(program.firewallAddress, "", text, sizeof text);
  return text;
}

int readFirewallPort(const ProgramSettings& program) {
  return program.firewallPort ? regReadInt(program.firewallPort, FIREWALL_PORT_DEFAULT) : FIREWALL_PORT_DEFAULT;
}
