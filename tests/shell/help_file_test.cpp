// The help file as the build makes it: compiled with chmcmd from the sources,
// it must hold every topic and pop-up file the programs open, and the pop-up
// files must have a text for each control of the shared book dialogs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "shell/book_dialog_ids.h"
#include "frame/config_ids.h"
#include "shell/help_topics.h"
#include "tests/support/file_text.h"

namespace fs = std::filesystem;

namespace {
const fs::path SOURCES = fs::path(SUITE_SOURCE_DIR) / "help" / "telnet";
}  // namespace

TEST(HelpFile, TheCompiledFileHoldsEveryTopicWithATitleAndPopupTheProgramsOpen) {
  char pattern[] = "/tmp/helpfile-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  fs::path work = pattern;
  fs::copy(SOURCES, work, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  std::string command = "cd '" + work.string() + "' && chmcmd --no-html-scan kelvro32-telnet.hhp >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "chmcmd failed";
  std::string chm = readFile(work / TELNET_HELP_CHM);
  fs::remove_all(work);
  ASSERT_GT(chm.size(), 1000u);
  ASSERT_EQ(chm.compare(0, 4, "ITSF"), 0);
  for (int i = 0; i < helpTopicCount; ++i) {
    const HelpTopic& t = *helpTopicTable[i];
    EXPECT_NE(chm.find(std::string("/") + t.topic), std::string::npos) << t.topic;
    EXPECT_NE(readFile(SOURCES / t.topic).find("<title>"), std::string::npos) << t.topic;
    if (t.popups) {
      EXPECT_NE(chm.find(std::string("/") + t.popups), std::string::npos) << t.popups;
    }
  }
}

TEST(HelpFile, PopupFilesHaveATextForEachControl) {
  struct Popups {
    const HelpTopic& topic;
    std::vector<int> controls;
  } tables[] = {
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
      {HELP_OPTIONS, {IDC_OPT_STRIP_LF, IDC_OPT_START_CHAR, IDC_OPT_END_CHAR, IDC_OPT_LINE_DELAY, IDC_OPT_CHAR_DELAY,
                      IDC_OPT_SKIP, IDC_OPT_CRASH, IDC_OPT_SEGMENTED, IDC_OPT_ESCAPE, IDC_OPT_PACKET,
                      IDC_OPT_EIGHTBIT}},
      {HELP_FIREWALL, {IDC_FW_ADDRESS, IDC_FW_PORT, IDC_FW_EDIT_SCRIPT, IDC_FW_CHECK}},
  };
  for (const Popups& p : tables) {
    std::string text = readFile(SOURCES / p.topic.popups);
    for (int id : p.controls)
      EXPECT_NE(text.find(".topic " + std::to_string(id) + "\n"), std::string::npos) << p.topic.popups << " " << id;
  }
}
