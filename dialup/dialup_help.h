// The dial-up program's help: its file names, and the topics and pop-up
// texts of the dialogs and pages it has beside the shared ones (whose topics,
// shell/help_topics.h, its help file holds too).
#pragma once
#include "shell/help_topics.h"

constexpr const char* DIALUP_HELP_CHM = "kelvro32-dialup.chm";
constexpr const char* DIALUP_HELP_HLP = "KELVRO.HLP";

extern const HelpTopic HELP_PHONEBOOK;
extern const HelpTopic HELP_PHONE_COPY;
extern const HelpTopic HELP_DIAL_OPTIONS;
extern const HelpTopic HELP_SERVICE;
extern const HelpTopic HELP_COMM_PARAMETER;
extern const HelpTopic HELP_COMM_STATUS;
extern const HelpTopic HELP_DIALUP_MAIN;

// Every topic the dial-up help file must hold: the ones above and the shared
// pages and dialogs the program shows.
extern const HelpTopic* const dialupHelpTable[];
extern const int dialupHelpCount;
