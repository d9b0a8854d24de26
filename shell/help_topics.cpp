#include "shell/help_topics.h"

const HelpTopic HELP_GENERAL{"telnet_commsetting.html", "telconnect.txt", 140};
const HelpTopic HELP_TERMINAL{"terminalemulation.html", "terminal.txt", 145};
const HelpTopic HELP_PROTOCOLS{"protocols.html", "protocol.txt", 150};
const HelpTopic HELP_COLOR{"color.html", "color.txt", 160};
const HelpTopic HELP_FONTS{"font.html", "font.txt", 170};
const HelpTopic HELP_DEFAULT_DIR{"defaultdirectory.html", "directory.txt", 180};
const HelpTopic HELP_OPTIONS{"file_transfer_options.html", "option.txt", 260};
const HelpTopic HELP_FIREWALL{"telnet_firewall.html", "firewall.txt", 190};
const HelpTopic HELP_TELNETBOOK{"telnet_telnetbook.html", "telnetbook.txt", 100};
const HelpTopic HELP_TELNETBOOK_COPY{"telnetbook.html", nullptr, 101};
const HelpTopic HELP_QUICK_CONNECT{"telnet_connecting.html", "qconnect.txt", 102};
const HelpTopic HELP_CONNECTING{"telnet_progress.html", nullptr, 103};
const HelpTopic HELP_VIEW_OPTIONS{"view_options.html", nullptr, 200};
const HelpTopic HELP_TRANSFER{"file_transfer.html", nullptr, 340};
const HelpTopic HELP_BATCH_LIST{"file_transfer_options.html", nullptr, 350};
const HelpTopic HELP_KEYMAP{"keyboard_map.html", nullptr, 210};
const HelpTopic HELP_FIND{"find.html", nullptr, 220};
const HelpTopic HELP_PRINT{"printing.html", nullptr, 230};
const HelpTopic HELP_TELNET_COMMAND{"telnet_commands.html", nullptr, 240};
const HelpTopic HELP_MAIN_WINDOW{"telnet_main.html", nullptr, 10};

const HelpTopic* const helpTopicTable[] = {
    &HELP_GENERAL,     &HELP_TERMINAL,        &HELP_PROTOCOLS,     &HELP_COLOR,       &HELP_FONTS,
    &HELP_DEFAULT_DIR, &HELP_OPTIONS,         &HELP_FIREWALL,      &HELP_TELNETBOOK,  &HELP_TELNETBOOK_COPY,
    &HELP_QUICK_CONNECT, &HELP_CONNECTING,    &HELP_VIEW_OPTIONS,  &HELP_TRANSFER,    &HELP_BATCH_LIST,
    &HELP_KEYMAP,      &HELP_FIND,            &HELP_PRINT,         &HELP_TELNET_COMMAND, &HELP_MAIN_WINDOW,
};
const int helpTopicCount = sizeof helpTopicTable / sizeof helpTopicTable[0];
