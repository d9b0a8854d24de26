#include "shell/command_shell.h"

std::string commandShellLine(const char* comspec) {
  std::string path = comspec ? comspec : "";
  size_t first = path.find_first_not_of(" \t");
  if (first == std::string::npos) return "command.com";
  path = path.substr(first, path.find_last_not_of(" \t") - first + 1);
  if (path.find(' ') != std::string::npos && path.front() != '"') path = "\"" + path + "\"";
  return path;
}
