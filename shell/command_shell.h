// The command line that starts the system's command interpreter (the
// MS-DOS menu entry and toolbar button).
#pragma once
#include <string>

// The shell that comspec (the COMSPEC environment value) names, quoted when
// its path holds a blank; "command.com" only when comspec is missing or
// blank. Current Windows and Wine have no command.com.
std::string commandShellLine(const char* comspec);

