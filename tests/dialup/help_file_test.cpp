// The dial-up help file as the build makes it: every topic and pop-up file
// the program opens is in it, and the pop-up files have a text for each
// control of the phonebook's dialogs and the General page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dialup/dialup_dialog_ids.h"
#include "dialup/dialup_help.h"
#include "tests/support/file_text.h"

namespace fs = std::filesystem;

namespace {
const fs::path SOURCES = fs::path(SUITE_SOURCE_DIR) / "help" / "dialup";

TEST(DialupHelpFile, HoldsEveryTopicAndPopupWithATextForEachControl) {
  char pattern[] = "/tmp/dialuphelp-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  fs::path work = pattern;
  fs::copy(SOURCES, work, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  std::string command = "cd '" + work.string() + "' && chmcmd --no-html-scan kelvro32-dialup.hhp >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "chmcmd failed";
  std::string chm = readFile(work / DIALUP_HELP_CHM);
  fs::remove_all(work);
  ASSERT_EQ(chm.compare(0, 4, "ITSF"), 0);
  for (int i = 0; i < dialupHelpCount; ++i) {
    const HelpTopic& t = *dialupHelpTable[i];
    EXPECT_NE(chm.find(std::string("/") + t.topic), std::string::npos) << t.topic;
    EXPECT_NE(readFile(SOURCES / t.topic).find("<title>"), std::string::npos) << t.topic;
    if (t.popups) EXPECT_NE(chm.find(std::string("/") + t.popups), std::string::npos) << t.popups;
  }
  struct Popups {
    const HelpTopic& topic;
    std::vector<int> controls;
  } tables[] = {
      {HELP_PHONEBOOK, {IDC_PB_LIST, IDC_PB_AUTOLOG, IDC_PB_NEW, IDC_PB_DELETE, IDC_PB_EDIT, IDC_PB_OPTIONS, IDC_PB_BATCH,
                        IDC_PB_BATCH_LIST, IDC_PB_REMOVE, IDC_PB_COPY, IDC_PB_CLOSE, IDC_PB_DIAL, IDC_PB_HELP}},
      {HELP_PHONE_COPY, {IDC_COPY_SERVICE, IDC_COPY_PHONE, IDC_COPY_PREFIX, 1, 2, IDC_PB_HELP}},
      {HELP_DIAL_OPTIONS, {IDC_DIALOPT_RETRY, IDC_DIALOPT_TIMEOUT, 1, 2, IDC_PB_HELP}},
      {HELP_SERVICE, {IDC_SVC_NAME, IDC_SVC_PHONE, IDC_SVC_PREFIX, IDC_SVC_PULSE, IDC_SVC_TONE, IDC_SVC_NONE,
                      IDC_PARITY_NONE, IDC_PARITY_ODD, IDC_PARITY_EVEN, IDC_STOP_BITS_1, IDC_STOP_BITS_2,
                      IDC_DATA_BITS_8, IDC_DATA_BITS_7, IDC_SVC_BAUD, IDC_SVC_PORT}},
  };
  for (const Popups& p : tables) {
    std::string text = readFile(SOURCES / p.topic.popups);
    for (int id : p.controls)
      EXPECT_NE(text.find(".topic " + std::to_string(id) + "\n"), std::string::npos) << p.topic.popups << " " << id;
  }
}
}  // namespace
