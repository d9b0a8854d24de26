// The portable core must build and run without Windows: only *_win32 files may
// include <windows.h> or name Win32 types and calls. And what we ship never
// leans on the test tree.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "tests/support/file_text.h"
#include "tests/support/peers.h"

namespace fs = std::filesystem;

TEST(PortableBoundary, NoWin32InPortableFilesAndNoProductFileIncludesTests) {
  // Win32 headers and names that give a portable file away.
  const std::regex win32Names(
      R"(#\s*include\s*[<"](windows|winsock2?|commctrl|ws2tcpip|mmsystem)\.h[>"]|\b(HWND|HDC|HINSTANCE|HANDLE|LPARAM|WPARAM|WSA[A-Z]\w*|Reg(Open|Create|Query|Set|Close)\w*|SetTimer|KillTimer|PeekMessage\w*|GetTickCount)\b)");
  const std::regex testInclude(R"(#\s*include\s*[<"](\.\./)*tests/)");
  const std::regex comments(R"(//[^\n]*|/\*[\s\S]*?\*/)");
  // The checks are only as good as their patterns.
  ASSERT_TRUE(std::regex_search(std::string("WSAAsyncSelect(s, w, 1, 2);"), win32Names));
  ASSERT_TRUE(std::regex_search(std::string("# include \"../tests/x.h\""), testInclude));
  int portable = 0, scanned = 0;
  // Everything that ships: the core, the tools and the programs' own files.
  for (const char* folder : {"terminal", "transfer", "shell", "frame", "telnet", "dialup", "ftp", "viewer", "tools",
                             "programs"}) {
    if (!fs::exists(sourcePath(folder))) continue;
    for (const auto& entry : fs::recursive_directory_iterator(sourcePath(folder))) {
      const fs::path& p = entry.path();
      std::string ext = p.extension().string(), stem = p.stem().string();
      if (ext != ".cpp" && ext != ".h" && ext != ".rc") continue;
      std::smatch m;
      std::string code = std::regex_replace(readFile(p.string()), comments, " ");
      EXPECT_FALSE(std::regex_search(code, m, testInclude)) << p << " includes " << m.str();
      ++scanned;
      bool win32Only = stem.size() > 6 && stem.compare(stem.size() - 6, 6, "_win32") == 0;
      if (ext == ".rc" || win32Only || std::string(folder) == "programs") continue;
      EXPECT_FALSE(std::regex_search(code, m, win32Names)) << p << " uses " << m.str();
      ++portable;
    }
  }
  EXPECT_GT(portable, 5);
  EXPECT_GT(scanned, portable);
}

// The floors: a file includes only its own folder and the floors below it;
// the lines (Telnet, serial, FTP) never include each other, and the viewer
// stands apart on the shell.
TEST(PortableBoundary, IncludesRunDownTheFloorsOnly) {
  const std::map<std::string, int> floor = {{"terminal", 0}, {"shell", 1}, {"viewer", 2}, {"transfer", 3},
                                            {"frame", 4},    {"telnet", 5}, {"dialup", 5}, {"ftp", 5}};
  const std::regex include(R"(#\s*include\s*"(\w+)/)");
  int checked = 0;
  for (const auto& [folder, level] : floor) {
    for (const auto& entry : fs::directory_iterator(sourcePath(folder))) {
      const fs::path& p = entry.path();
      std::string text = readFile(p.string());
      for (auto m = std::sregex_iterator(text.begin(), text.end(), include); m != std::sregex_iterator(); ++m) {
        std::string to = (*m)[1];
        auto target = floor.find(to);
        if (target == floor.end() || to == folder) continue;
        EXPECT_LT(target->second, level) << p << " includes " << to << "/";
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 100);
}

// What the FTP client links of the core comes from below it: no object of
// ftp/ needs a symbol that only the Telnet line defines.
TEST(PortableBoundary, FtpLinksNoTelnetCode) {
  // Mangled names (no spaces); strong definitions only, so that a template
  // both folders instantiate is no finding.
  auto symbols = [](const std::string& folder, bool undefined) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(buildPath("CMakeFiles/suite_core.dir/" + folder))) {
      std::string command = "nm --format=posix '" + entry.path().string() + "'";
      FILE* out = popen(command.c_str(), "r");
      char name[4096];
      char type = 0;
      while (out && fscanf(out, "%4095s %c%*[^\n]", name, &type) == 2) {
        if (undefined ? type == 'U' : std::string("TDBR").find(type) != std::string::npos) names.insert(name);
      }
      if (out) pclose(out);
    }
    return names;
  };
  std::set<std::string> needed = symbols("ftp", true);
  std::set<std::string> telnet = symbols("telnet", false);
  ASSERT_FALSE(needed.empty());
  ASSERT_FALSE(telnet.empty());
  for (const std::string& name : needed) EXPECT_EQ(telnet.count(name), 0u) << "ftp/ needs " << name;
}
