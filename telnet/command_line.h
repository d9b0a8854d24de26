// The Telnet program's command line: the entry a host named on it gets.
#pragma once
#include "shell/book_entry.h"
#include "shell/host_command_line.h"

// The session for a host named on the command line: entry is the template
// already; a valid "HOST.tel" in the program directory replaces it, then the
// name (at most 60 characters) and the address become the host and a port
// given replaces the entry's. Returns 1 when the file was used, 0 when there
// was none, -1 when it exists but is not a whole entry (ignored).
int sessionForCommandLine(const CommandLine& line, BookEntry& entry);
