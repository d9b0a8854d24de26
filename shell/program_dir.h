// The program directory: entry files, modem profiles and the template entries
// live here, whatever the current directory is.
#pragma once
#include <string>

// Set once at start-up (tests give a temporary directory).
void setProgramDir(const std::string& dir);
// The program directory; until it is set, the directory current at first use.
const std::string& programDir();
// fileName inside the program directory.
std::string programPath(const std::string& fileName);
