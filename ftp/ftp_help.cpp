#include "ftp/ftp_help.h"

const HelpTopic HELP_FTP_MAIN{"ftp_main.html", nullptr, 10};
const HelpTopic HELP_FTP_BOOK{"ftp_ftpbook.html", "ftpbook.txt", 100};
const HelpTopic HELP_FTP_COPY{"ftp_copy.html", "ftpcopy.txt", 101};
const HelpTopic HELP_FTP_QUICK_CONNECT{"ftp_quickconnect.html", "qconnect.txt", 102};
const HelpTopic HELP_FTP_GENERAL{"ftp_general.html", "ftpgeneral.txt", 140};
const HelpTopic HELP_FTP_FILE_OPTIONS{"ftp_fileoptions.html", "fileoption.txt", 150};
const HelpTopic HELP_FTP_FIREWALL{"ftp_firewall.html", "firewall.txt", 190};
const HelpTopic HELP_FTP_COLOR{"ftp_color.html", "ftpcolor.txt", 160};
const HelpTopic HELP_FTP_USER{"ftp_login.html", "login.txt", 110};
const HelpTopic HELP_FTP_PASSWORD{"ftp_login.html", "login.txt", 111};
const HelpTopic HELP_FTP_EMAIL{"ftp_email.html", "email.txt", 120};
const HelpTopic HELP_FTP_VIEW_OPTIONS{"view_options.html", nullptr, 200};
const HelpTopic HELP_FTP_WINDOW{"ftp_window.html", nullptr, 300};
const HelpTopic HELP_FTP_TRANSFER{"ftp_transfer.html", nullptr, 340};

const HelpTopic* const ftpHelpTopicTable[] = {
    &HELP_FTP_MAIN,  &HELP_FTP_BOOK,     &HELP_FTP_COPY,     &HELP_FTP_QUICK_CONNECT, &HELP_FTP_GENERAL,
    &HELP_FTP_FILE_OPTIONS, &HELP_FTP_FIREWALL, &HELP_FTP_COLOR, &HELP_FTP_USER, &HELP_FTP_PASSWORD, &HELP_FTP_EMAIL,
    &HELP_FTP_VIEW_OPTIONS, &HELP_FTP_WINDOW, &HELP_FTP_TRANSFER,
    // The shared pages the FTP sheet shows.
    &HELP_FONTS, &HELP_DEFAULT_DIR,
};
const int ftpHelpTopicCount = sizeof ftpHelpTopicTable / sizeof ftpHelpTopicTable[0];
