// The help of the FTP program's dialogs and pages: topics of its compiled help
// file and the pop-up texts of their controls. The Fonts and Default Dir
// pages are the shared ones, with the shared topic names.
#pragma once
#include "shell/help_topics.h"

extern const HelpTopic HELP_FTP_MAIN;
extern const HelpTopic HELP_FTP_BOOK;
extern const HelpTopic HELP_FTP_COPY;
extern const HelpTopic HELP_FTP_QUICK_CONNECT;
extern const HelpTopic HELP_FTP_GENERAL;
extern const HelpTopic HELP_FTP_FILE_OPTIONS;
extern const HelpTopic HELP_FTP_FIREWALL;
extern const HelpTopic HELP_FTP_COLOR;
extern const HelpTopic HELP_FTP_USER;
extern const HelpTopic HELP_FTP_PASSWORD;
extern const HelpTopic HELP_FTP_EMAIL;
extern const HelpTopic HELP_FTP_VIEW_OPTIONS;
extern const HelpTopic HELP_FTP_WINDOW;
extern const HelpTopic HELP_FTP_TRANSFER;

extern const HelpTopic* const ftpHelpTopicTable[];
extern const int ftpHelpTopicCount;

constexpr const char* FTP_HELP_CHM = "kelvro32-ftp.chm";
constexpr const char* FTP_HELP_HLP = "quenda.HLP";
