// The terminal programs' help file: its topics, and a pop-up text for each
// control of the shared book dialogs and the configuration pages.
#include "frame/config_ids.h"
#include "shell/book_dialog_ids.h"
#include "shell/help_topics.h"
#include "tests/support/help_check.h"

namespace {
const HelpSources HELP = {"telnet", "kelvro32-telnet.hhp", TELNET_HELP_CHM, helpTopicTable, helpTopicCount};

TEST(HelpFile, TheCompiledFileHoldsEveryTopicWithATitleAndPopupTheProgramsOpen) {
  expectCompiledHelpHoldsEveryTopic(HELP);
}

TEST(HelpFile, PopupFilesHaveATextForEachControl) {
  expectPopupTextForEachControl(
      HELP,
      {
          {HELP_TELNETBOOK, {IDC_BOOK_LIST, 1, IDC_BOOK_NEW, IDC_BOOK_EDIT, IDC_BOOK_COPY, IDC_BOOK_DELETE, 2, IDC_BOOK_HELP}},
          {HELP_QUICK_CONNECT, {IDC_QUICK_ADDRESS, IDC_QUICK_PORT, 1, 2, IDC_BOOK_HELP}},
          {HELP_GENERAL, {IDC_CFG_NAME, IDC_CFG_ADDRESS, IDC_CFG_PORT, IDC_CFG_PROTOCOL, IDC_CFG_USERNAME, IDC_CFG_FIREWALL}},
          {HELP_TERMINAL, {IDC_CFG_TERMINALS, IDC_CFG_TERMINAL_ID, IDC_CFG_WIDTH_80, IDC_CFG_WIDTH_132, IDC_CFG_HEIGHT,
                           IDC_CFG_SCROLL, IDC_CFG_CHECK_FIRST, IDC_CFG_CHECK_FIRST + 8, IDC_CFG_RESIZE_NONE,
                           IDC_CFG_RESIZE_TERM, IDC_CFG_RESIZE_FONT}},
          {HELP_PROTOCOLS, {IDC_PROTO_LIST, IDC_PROTO_MAX_ERRORS, IDC_PROTO_KEEP_BACKUP}},
          {HELP_COLOR, {IDC_COLOR_ITEMS, IDC_COLOR_RED, IDC_COLOR_GREEN, IDC_COLOR_BLUE, IDC_COLOR_DEFAULT,
                        IDC_COLOR_BUTTON_FIRST, IDC_COLOR_BUTTON_FIRST + 15}},
          {HELP_FONTS, {IDC_FONT_FACES, IDC_FONT_SIZES, IDC_FONT_SCRIPT}},
          {HELP_DEFAULT_DIR, {IDC_DIR_DOWNLOAD, IDC_DIR_DOWNLOAD_BROWSE, IDC_DIR_SESSION, IDC_DIR_SESSION_BROWSE,
                              IDC_DIR_CAPTURE}},
          {HELP_OPTIONS, {IDC_OPT_STRIP_LF, IDC_OPT_START_CHAR, IDC_OPT_END_CHAR, IDC_OPT_LINE_DELAY,
                          IDC_OPT_CHAR_DELAY, IDC_OPT_SKIP, IDC_OPT_CRASH, IDC_OPT_SEGMENTED, IDC_OPT_ESCAPE,
                          IDC_OPT_PACKET, IDC_OPT_EIGHTBIT}},
          {HELP_FIREWALL, {IDC_FW_ADDRESS, IDC_FW_PORT, IDC_FW_EDIT_SCRIPT, IDC_FW_CHECK}},
      });
}
}  // namespace
