// The portable core must build and run without Windows: only *_win32 files may
// include <windows.h> or name Win32 types and calls. And what we ship never
// leans on the test tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/support/peers.h"

namespace fs = std::filesystem;

namespace {
const char* const coreFolders[] = {"terminal", "transfer", "shell", "telnet", "dialup", "ftp", "viewer", "tools"};
// Everything that ships: the core, the tools and the programs' own files.
const char* const productFolders[] = {"terminal", "transfer", "shell", "telnet",  "dialup",
                                      "ftp",      "viewer",   "tools", "programs"};

// Win32 headers and names that give a portable file away.
const std::regex win32Names(
    R"(#\s*include\s*[<"](windows|winsock2?|commctrl|ws2tcpip|mmsystem)\.h[>"]|\b(HWND|HDC|HINSTANCE|HANDLE|LPARAM|WPARAM|WSA[A-Z]\w*|Reg(Open|Create|Query|Set|Close)\w*|SetTimer|KillTimer|PeekMessage\w*|GetTickCount)\b)");

bool isWin32Only(const fs::path& p) {
  std::string stem = p.stem().string();
  return stem.size() > 6 && stem.compare(stem.size() - 6, 6, "_win32") == 0;
}

std::string stripComments(const std::string& text) {
  static const std::regex comments(R"(//[^\n]*|/\*[\s\S]*?\*/)");
  return std::regex_replace(text, comments, " ");
}

std::string readFile(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::regex testInclude(R"(#\s*include\s*[<"](\.\./)*tests/)");
}  // namespace

TEST(PortableBoundary, NoWin32InPortableFiles) {
  int scanned = 0;
  for (const char* folder : coreFolders) {
    fs::path dir = sourcePath(folder);
    if (!fs::exists(dir)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
      const fs::path& p = entry.path();
      std::string ext = p.extension().string();
      if ((ext != ".cpp" && ext != ".h") || isWin32Only(p)) continue;
      std::smatch m;
      std::string code = stripComments(readFile(p));
      EXPECT_FALSE(std::regex_search(code, m, win32Names)) << p << " uses " << m.str();
      ++scanned;
    }
  }
  EXPECT_GT(scanned, 5);
}

TEST(PortableBoundary, DetectorCatchesWin32Names) {
  // The check above is only as good as its pattern.
  for (const char* bad : {"#include <windows.h>", "HWND w;", "WSAAsyncSelect(s, w, 1, 2);",
                          "RegOpenKeyExA(k);", "SetTimer(w, 1, 2, 0);", "#include \"winsock.h\""})
    EXPECT_TRUE(std::regex_search(std::string(bad), win32Names)) << bad;
  for (const char* good : {"int handleCount;", "linkRead(buf, 1);", "regReadInt(\"x\", 0);"})
    EXPECT_FALSE(std::regex_search(std::string(good), win32Names)) << good;
}

TEST(PortableBoundary, NoProductFileIncludesTests) {
  int scanned = 0;
  for (const char* folder : productFolders) {
    fs::path dir = sourcePath(folder);
    if (!fs::exists(dir)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
      const fs::path& p = entry.path();
      std::string ext = p.extension().string();
      if (ext != ".cpp" && ext != ".h" && ext != ".rc") continue;
      std::smatch m;
      std::string code = stripComments(readFile(p));
      EXPECT_FALSE(std::regex_search(code, m, testInclude)) << p << " includes " << m.str();
      ++scanned;
    }
  }
  EXPECT_GT(scanned, 5);
  EXPECT_TRUE(std::regex_search(std::string("#include \"tests/support/peers.h\""), testInclude));
  EXPECT_TRUE(std::regex_search(std::string("# include \"../tests/x.h\""), testInclude));
  EXPECT_FALSE(std::regex_search(std::string("#include \"terminal/tests.h\""), testInclude));
}
