// The help of every page and dialog: its topic inside the program's compiled
// help file, the pop-up text file that context help on its controls reads, and
// the WinHelp context number used when HTML Help is missing. Portable, so the
// host tests can check every name against the help sources.
#pragma once

struct HelpTopic {
  const char* topic;   // "telnet_commsetting.html": shown by the Help button
  const char* popups;  // "telconnect.txt": ".topic N" texts, N = control id; or nullptr
  int winHelpContext;  // fallback context of the ".HLP" file
};

// Pages of the "Configuration" sheet, in tab order.
extern const HelpTopic HELP_GENERAL;
extern const HelpTopic HELP_TERMINAL;
extern const HelpTopic HELP_PROTOCOLS;
extern const HelpTopic HELP_COLOR;
extern const HelpTopic HELP_FONTS;
extern const HelpTopic HELP_DEFAULT_DIR;
extern const HelpTopic HELP_OPTIONS;
extern const HelpTopic HELP_FIREWALL;
// Dialogs.
extern const HelpTopic HELP_TELNETBOOK;
extern const HelpTopic HELP_TELNETBOOK_COPY;
extern const HelpTopic HELP_QUICK_CONNECT;
extern const HelpTopic HELP_CONNECTING;
extern const HelpTopic HELP_VIEW_OPTIONS;
extern const HelpTopic HELP_TRANSFER;
extern const HelpTopic HELP_BATCH_LIST;
extern const HelpTopic HELP_KEYMAP;
extern const HelpTopic HELP_FIND;
extern const HelpTopic HELP_PRINT;
extern const HelpTopic HELP_TELNET_COMMAND;
extern const HelpTopic HELP_MAIN_WINDOW;

// Every topic above, for checks over all of them.
extern const HelpTopic* const helpTopicTable[];
extern const int helpTopicCount;

// The help files of the Telnet program, in the program directory.
constexpr const char* TELNET_HELP_CHM = "kelvro32-telnet.chm";
constexpr const char* TELNET_HELP_HLP = "KELVRONT.HLP";
