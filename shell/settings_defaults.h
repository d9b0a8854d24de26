// Names and defaults of the program-wide settings, and the reads that apply
// them, so that every program takes a value the same way.
#pragma once
#include <string>

constexpr const char* SETTING_DOWNLOAD = "DOWNLOAD";
constexpr const char* SETTING_SESSION = "SESSION";
constexpr const char* SETTING_SCROLL = "scroll";
constexpr const char* SETTING_TRANSPRINT = "TransPrint";
constexpr const char* SETTING_PRINTER = "Printer";  // the printer chosen in Print Setup
constexpr const char* SETTING_SEQDIAL = "seqdial";
constexpr const char* SETTING_EMAIL = "email";

constexpr const char* DOWNLOAD_SUBDIR = "Down";
constexpr const char* SESSION_SUBDIR = "Log";
constexpr int SCROLL_DEFAULT = 1000;
constexpr int SCROLL_MIN = 24;
constexpr int TRANSPRINT_DEFAULT = 0;
constexpr int SEQDIAL_DEFAULT = 0;
constexpr int FIREWALL_PORT_DEFAULT = 23;
constexpr int FIREWALL_ADDRESS_MAX = 255;
// Start-up choices of the Telnet program.
constexpr int BOOKBOX_TELNETBOOK = 103;
constexpr int BOOKBOX_QUICKCONNECT = 106;
constexpr int BOOKBOX_NONE = 107;
// Start-up choices of the FTP client.
constexpr int BOOKBOX_FTP_BOOK = 101;
constexpr int BOOKBOX_FTP_QUICKCONNECT = 102;
constexpr int BOOKBOX_FTP_NONE = 103;

// The values each program keeps under its own name.
struct ProgramSettings {
  const char* width;
  const char* height;
  const char* left;
  const char* top;
  const char* warnClose;
  const char* toolbar;
  const char* statusbar;
  const char* discBox;
  const char* bookBox;
  int bookBoxAtStartup;  // default when read at start-up
  int bookBoxApplied;    // default when the view options are applied
  const char* firewallAddress;  // nullptr where the program has no firewall
  const char* firewallPort;
};
extern const ProgramSettings TELNET_SETTINGS;  // varnix32
extern const ProgramSettings DIALUP_SETTINGS;  // kelvro32
extern const ProgramSettings FTP_SETTINGS;     // quenda32

// Writes a number as decimal text.
int regWriteInt(const char* name, int value);
// A 0/1 option (any non-zero value is on).
bool readFlag(const char* name, int dflt);

struct WindowPlacement {
  int left, top, width, height;
  bool systemDefault;  // a stored width or height of 0: the system places all four
};
WindowPlacement readWindowPlacement(const ProgramSettings& program);
void writeWindowPlacement(const ProgramSettings& program, const WindowPlacement& placement);

// "scroll", default 1000, at least 24.
int readScrollLines();
// "DOWNLOAD" or "SESSION": the stored directory; when absent the
// subdirectory of the program directory, created and stored.
std::string readProgramDirectory(const char* valueName, const char* subdir);
// The firewall host (at most 255 characters) and port (default 23).
std::string readFirewallAddress(const ProgramSettings& program);
int readFirewallPort(const ProgramSettings& program);
