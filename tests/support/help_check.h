// Checks a program's help as the build makes it: compiled with chmcmd from its
// sources, the file must hold every topic (each with a title) and pop-up file
// the program opens, and each pop-up file a text for each control listed.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/help_topics.h"
#include "tests/support/file_text.h"

struct HelpSources {
  const char* folder;   // under help/: "telnet"
  const char* project;  // "kelvro32-telnet.hhp"
  const char* chm;      // the compiled file the project writes
  const HelpTopic* const* topics;
  int topicCount;
};

struct HelpPopups {
  const HelpTopic& topic;
  std::vector<int> controls;
};

inline std::filesystem::path helpSourcesOf(const HelpSources& help) {
  return std::filesystem::path(SUITE_SOURCE_DIR) / "help" / help.folder;
}

inline void expectCompiledHelpHoldsEveryTopic(const HelpSources& help) {
  const std::filesystem::path sources = helpSourcesOf(help);
  char pattern[] = "/tmp/helpfile-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::filesystem::path work = pattern;
  std::filesystem::copy(sources, work,
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  std::string command =
      "cd '" + work.string() + "' && chmcmd --no-html-scan " + help.project + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  std::string chm = readFile(work / help.chm);
  std::filesystem::remove_all(work);
  ASSERT_EQ(status, 0) << "chmcmd failed on " << help.project;
  ASSERT_GT(chm.size(), 1000u);
  ASSERT_EQ(chm.compare(0, 4, "ITSF"), 0);
  for (int i = 0; i < help.topicCount; ++i) {
    const HelpTopic& t = *help.topics[i];
    EXPECT_NE(chm.find(std::string("/") + t.topic), std::string::npos) << t.topic;
    EXPECT_NE(readFile(sources / t.topic).find("<title>"), std::string::npos) << t.topic;
    if (t.popups) {
      EXPECT_NE(chm.find(std::string("/") + t.popups), std::string::npos) << t.popups;
    }
  }
}

inline void expectPopupTextForEachControl(const HelpSources& help, const std::vector<HelpPopups>& tables) {
  for (const HelpPopups& p : tables) {
    ASSERT_NE(p.topic.popups, nullptr) << p.topic.topic;
    std::string text = readFile(helpSourcesOf(help) / p.topic.popups);
    for (int id : p.controls)
      EXPECT_NE(text.find(".topic " + std::to_string(id) + "\n"), std::string::npos) << p.topic.popups << " " << id;
  }
}
