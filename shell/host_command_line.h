// The command line of a network program: an optional host and port. The host
// ends up in an entry's 80-byte address field and the port in 16 bits, so
// both are checked here, where they enter.
#pragma once
#include <cstdint>

#include "shell/book_files.h"

constexpr int COMMAND_LINE_MAX = 255;  // a longer line is refused
constexpr int COMMAND_HOST_MAX = 79;   // the address field's characters
constexpr int COMMAND_NAME_MAX = 60;   // characters of the host kept as entry name
constexpr const char* COMMAND_LINE_ERROR = "Invalid internet address specified";

struct CommandLine {
  char host[COMMAND_HOST_MAX + 1];  // "" when none was given
  int port;                         // 0 when none was given
};

// Reads "HOST [PORT]"; a trailing "/" on the host is dropped. Returns 0, or -1
// for a line of 256 characters or more, a host longer than the address field,
// or a port that is not a number from 0 to 65535.
int parseCommandLine(const char* line, CommandLine* out);

// The session for a host named on the command line: record holds the
// template already; a valid entry file named after the host (in the program
// directory) replaces it, then the name (at most 60 characters) and the
// address become the host and a port given replaces the entry's. Returns 1
// when the file was used, 0 when there was none, -1 when it exists but is not
// a whole entry (ignored).
int entryForCommandLine(const CommandLine& line, const BookKind& kind, const FieldSpec& addressField,
                        const FieldSpec& portField, uint8_t* record);
