// The help file as the build makes it: compiled with chmcmd from the sources,
// it must hold every topic and pop-up file the programs open, and the pop-up
// files must have a text for each control of the shared book dialogs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "shell/book_dialog_ids.h"
#include "shell/help_topics.h"

namespace fs = std::filesystem;

namespace {
std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const fs::path SOURCES = fs::path(SUITE_SOURCE_DIR) / "help" / "telnet";
}  // namespace

TEST(HelpFile, TheCompiledFileHoldsEveryTopicAndPopupTheProgramsOpen) {
  char pattern[] = "/tmp/helpfile-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  fs::path work = pattern;
  fs::copy(SOURCES, work, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  std::string command = "cd '" + work.string() + "' && chmcmd --no-html-scan kelvro32-telnet.hhp >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "chmcmd failed";
  std::string chm = readAll(work / TELNET_HELP_CHM);
  fs::remove_all(work);
  ASSERT_GT(chm.size(), 1000u);
  ASSERT_EQ(chm.compare(0, 4, "ITSF"), 0);
  for (int i = 0; i < helpTopicCount; ++i) {
    const HelpTopic& t = *helpTopicTable[i];
    EXPECT_NE(chm.find(std::string("/") + t.topic), std::string::npos) << t.topic;
    if (t.popups) {
      EXPECT_NE(chm.find(std::string("/") + t.popups), std::string::npos) << t.popups;
    }
  }
}

TEST(HelpFile, TopicsHaveATitleAndPopupFilesATextForEachControl) {
  for (int i = 0; i < helpTopicCount; ++i) {
    std::string html = readAll(SOURCES / helpTopicTable[i]->topic);
    EXPECT_NE(html.find("<title>"), std::string::npos) << helpTopicTable[i]->topic;
  }
  struct Popups {
    const HelpTopic& topic;
    std::vector<int> controls;
  } tables[] = {
      {HELP_TELNETBOOK, {IDC_BOOK_LIST, 1, IDC_BOOK_NEW, IDC_BOOK_EDIT, IDC_BOOK_COPY, IDC_BOOK_DELETE, 2, IDC_BOOK_HELP}},
      {HELP_QUICK_CONNECT, {IDC_QUICK_ADDRESS, IDC_QUICK_PORT, 1, 2, IDC_BOOK_HELP}},
      {HELP_PROTOCOLS, {3007, 255, 256}},
      {HELP_OPTIONS, {701, 702, 703, 405, 404, 102, 103, 104, 105, 601, 602}},
  };
  for (const Popups& p : tables) {
    std::string text = readAll(SOURCES / p.topic.popups);
    for (int id : p.controls)
      EXPECT_NE(text.find(".topic " + std::to_string(id) + "\n"), std::string::npos) << p.topic.popups << " " << id;
  }
}
