// The portable core must build and run without Windows: only *_win32 files may
// include <windows.h> or name Win32 types and calls. And what we ship never
// leans on the test tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

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
  for (const char* folder : {"terminal", "transfer", "shell", "telnet", "dialup", "ftp", "viewer", "tools", "programs"}) {
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
