// The dial-up help file: its topics, and a pop-up text for each control of the
// phonebook's dialogs and the modem pages.
#include "dialup/dialup_dialog_ids.h"
#include "dialup/dialup_help.h"
#include "dialup/modem_dialog_ids.h"
#include "tests/support/help_check.h"

namespace {
const HelpSources HELP = {"dialup", "kelvro32-dialup.hhp", DIALUP_HELP_CHM, dialupHelpTable, dialupHelpCount};

TEST(DialupHelpFile, HoldsEveryTopicAndPopupWithATextForEachControl) {
  expectCompiledHelpHoldsEveryTopic(HELP);
  expectPopupTextForEachControl(
      HELP,
      {
          {HELP_PHONEBOOK, {IDC_PB_LIST, IDC_PB_AUTOLOG, IDC_PB_NEW, IDC_PB_DELETE, IDC_PB_EDIT, IDC_PB_OPTIONS,
                            IDC_PB_BATCH, IDC_PB_BATCH_LIST, IDC_PB_REMOVE, IDC_PB_COPY, IDC_PB_CLOSE, IDC_PB_DIAL,
                            IDC_PB_HELP}},
          {HELP_PHONE_COPY, {IDC_COPY_SERVICE, IDC_COPY_PHONE, IDC_COPY_PREFIX, 1, 2, IDC_PB_HELP}},
          {HELP_DIAL_OPTIONS, {IDC_DIALOPT_RETRY, IDC_DIALOPT_TIMEOUT, 1, 2, IDC_PB_HELP}},
          {HELP_SERVICE, {IDC_SVC_NAME, IDC_SVC_PHONE, IDC_SVC_PREFIX, IDC_SVC_PULSE, IDC_SVC_TONE, IDC_SVC_NONE,
                          IDC_PARITY_NONE, IDC_PARITY_ODD, IDC_PARITY_EVEN, IDC_STOP_BITS_1, IDC_STOP_BITS_2,
                          IDC_DATA_BITS_8, IDC_DATA_BITS_7, IDC_SVC_BAUD, IDC_SVC_PORT}},
          {HELP_MODEM_SETTING, {IDC_MODEM_PAGE_LIST, IDC_MODEM_LIST, IDC_MODEM_SELECT, IDC_MODEM_LIST_HELP,
                                IDC_MODEM_PREFIX, IDC_MODEM_SUFFIX, IDC_MODEM_HANGUP, IDC_MODEM_INIT, IDC_MODEM_ESCAPE,
                                IDC_MODEM_RESET, IDC_MODEM_RESULTS, IDC_MODEM_VALID_DIAL, IDC_MODEM_OK,
                                IDC_MODEM_CANCEL, IDC_MODEM_HELP}},
          {HELP_RESULT_CODE, {IDC_RESULT_BUSY, IDC_RESULT_DIALTONE, IDC_RESULT_CARRIER, IDC_RESULT_ANSWER,
                              IDC_RESULT_TIMEOUT, IDC_RESULT_ERROR, IDC_RESULT_CONNECT, IDC_RESULT_OK, IDC_MODEM_OK,
                              IDC_MODEM_CANCEL, IDC_MODEM_HELP}},
      });
}
}  // namespace
