// The FTP program's help file: its topics, and a pop-up text for each control
// of the FTP book, Quick Connect and the FTP pages.
#include "frame/config_ids.h"
#include "ftp/ftp_help.h"
#include "ftp/ftp_ids.h"
#include "shell/book_dialog_ids.h"
#include "tests/support/help_check.h"

namespace {
const HelpSources HELP = {"ftp", "kelvro32-ftp.hhp", FTP_HELP_CHM, ftpHelpTopicTable, ftpHelpTopicCount};

TEST(FtpHelpFile, TheCompiledFileHoldsEveryTopicAndPopupOfTheProgram) { expectCompiledHelpHoldsEveryTopic(HELP); }

TEST(FtpHelpFile, PopupFilesHaveATextForEachControl) {
  expectPopupTextForEachControl(
      HELP,
      {
          {HELP_FTP_BOOK, {IDC_BOOK_LIST, 1, IDC_BOOK_OPEN, IDC_BOOK_NEW, IDC_BOOK_EDIT, IDC_BOOK_COPY,
                           IDC_BOOK_DELETE, 2, IDC_BOOK_HELP}},
          {HELP_FTP_COPY, {IDC_COPY_NAME, IDC_COPY_ADDRESS}},
          {HELP_FTP_QUICK_CONNECT, {IDC_QUICK_ADDRESS, IDC_QUICK_PORT, 1, 2, IDC_BOOK_HELP}},
          {HELP_FTP_GENERAL, {IDC_FTP_NAME, IDC_FTP_ADDRESS, IDC_FTP_USERNAME, IDC_FTP_PASSWORD, IDC_FTP_PORT,
                              IDC_FTP_ANONYMOUS, IDC_FTP_SAVE_PASSWORD, IDC_FTP_USE_FIREWALL, IDC_FTP_NO_WINDOW}},
          {HELP_FTP_FILE_OPTIONS, {IDC_FILE_TO_CURRENT, IDC_FILE_BINARY, IDC_FILE_PASSIVE, IDC_FILE_RECOVER,
                                   IDC_FILE_HIDE_LISTING}},
          {HELP_FTP_FIREWALL, {IDC_FW_ADDRESS, IDC_FW_PORT, IDC_FW_EDIT_SCRIPT, IDC_FW_CHECK}},
          {HELP_FTP_USER, {IDC_USER_NAME}},
          {HELP_FTP_PASSWORD, {IDC_USER_PASSWORD, IDC_USER_SAVE_PASSWORD}},
          {HELP_FTP_EMAIL, {IDC_EMAIL_ADDRESS}},
          {HELP_DEFAULT_DIR, {IDC_DIR_DOWNLOAD, IDC_DIR_DOWNLOAD_BROWSE, IDC_DIR_SESSION, IDC_DIR_SESSION_BROWSE,
                              IDC_DIR_CAPTURE}},
          {HELP_FTP_COLOR, {IDC_FTP_COLOUR_TEXT, IDC_FTP_COLOUR_BACK, IDC_FTP_COLOUR_DEFAULT}},
          {HELP_FONTS, {IDC_FONT_FACES, IDC_FONT_SIZES, IDC_FONT_SCRIPT}},
      });
}
}  // namespace
