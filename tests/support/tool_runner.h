// Runs one of the host tools as a process, the way a user or an acceptance
// check does.
#pragma once
#include <string>

// Runs build/host/tools/NAME with args (a shell-quoted string), feeding input
// on its standard input. Returns its exit status (-1 when it did not exit).
int runTool(const std::string& name, const std::string& args, std::string* out, std::string* err,
            const std::string& input = "");
