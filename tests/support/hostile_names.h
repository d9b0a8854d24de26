// File names a hostile sender or server offers, and the local name each must
// become (empty: refused), shared by the host tests of the transfer receivers
// and the FTP client and by the Win32 check of the real file functions.
#pragma once
#include <string>
#include <vector>

struct HostileName {
  std::string remote;
  std::string local;
};

inline std::vector<HostileName> hostileNames() {
  return {
      {"plain.txt", "plain.txt"},
      {"../../escape.txt", "escape.txt"},
      {"c:\\win\\y.jpg", "y.jpg"},
      {"..", ""},
      {"dir/..", ""},
      {"...", ""},
      {"CON", "_CON"},
      {"con.txt", "_con.txt"},
      {"Nul.tar.gz", "_Nul.tar.gz"},
      {"prn", "_prn"},
      {"AUX.", "_AUX"},
      {"com1", "_com1"},
      {"COM9.log", "_COM9.log"},
      {"lpt1.x", "_lpt1.x"},
      {"LPT9", "_LPT9"},
      {"conin$", "_conin$"},
      {"CONOUT$.txt", "_CONOUT$.txt"},
      {"nul .txt", "_nul .txt"},
      {"COM10", "COM10"},
      {"com0", "com0"},
      {"console.txt", "console.txt"},
      {"trailing.txt. . ", "trailing.txt"},
      {"a<b", ""},
      {"a>b", ""},
      {"a\"b", ""},
      {"a|b", ""},
      {"a?b", ""},
      {"a*b", ""},
      {"esc\x1b[31m", ""},
      {"tab\there", ""},
      {"cr\r", ""},
      {"del\x7f" "ok", "del\x7f" "ok"},
  };
}
