#include "dialup/dialup_help.h"

const HelpTopic HELP_PHONEBOOK{"dialup_phonebook.html", "phonebook.txt", 130};
const HelpTopic HELP_PHONE_COPY{"dialup_copy.html", "copyservice.txt", 360};
const HelpTopic HELP_DIAL_OPTIONS{"dialup_dialoptions.html", "dialoption.txt", 420};
const HelpTopic HELP_SERVICE{"dialup_commsetting.html", "communication.txt", 140};
const HelpTopic HELP_COMM_PARAMETER{"commparameter.html", nullptr, 490};
const HelpTopic HELP_COMM_STATUS{"dialup_commseting.html", nullptr, 500};
const HelpTopic HELP_DIALUP_MAIN{"dialup_main.html", nullptr, 10};

const HelpTopic* const dialupHelpTable[] = {
    &HELP_PHONEBOOK, &HELP_PHONE_COPY, &HELP_DIAL_OPTIONS, &HELP_SERVICE,     &HELP_COMM_PARAMETER,
    &HELP_COMM_STATUS, &HELP_DIALUP_MAIN, &HELP_TERMINAL,   &HELP_PROTOCOLS,  &HELP_COLOR,
    &HELP_FONTS,     &HELP_DEFAULT_DIR, &HELP_OPTIONS,      &HELP_VIEW_OPTIONS, &HELP_TRANSFER,
    &HELP_BATCH_LIST, &HELP_KEYMAP,     &HELP_FIND,         &HELP_PRINT,
};
const int dialupHelpCount = sizeof dialupHelpTable / sizeof dialupHelpTable[0];
