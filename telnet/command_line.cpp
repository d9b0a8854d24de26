#include "telnet/command_line.h"

int sessionForCommandLine(const CommandLine& line, BookEntry& entry) {
  return entryForCommandLine(line, TELNET_BOOK, bookField::address, bookField::port, entry.bytes);
}
