#include "viewer/start_file.h"

std::string viewerStartFile(const char* commandLine) {
  std::string s = commandLine ? commandLine : "";
  size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  s = s.substr(first, s.find_last_not_of(" \t") - first + 1);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  if (s == "0" || s == "1") return "";
  return s;
}
