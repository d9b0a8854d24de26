#include "shell/host_command_line.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

int parseCommandLine(const char* line, CommandLine* out) {
  *out = CommandLine{};
  if (!line) return 0;
  if (strnlen(line, COMMAND_LINE_MAX + 1) > COMMAND_LINE_MAX) return -1;
  const char* p = line;
  while (*p && isspace(static_cast<unsigned char>(*p))) ++p;
  const char* hostStart = p;
  while (*p && !isspace(static_cast<unsigned char>(*p))) ++p;
  size_t hostLength = static_cast<size_t>(p - hostStart);
  if (hostLength > 0 && hostStart[hostLength - 1] == '/') --hostLength;
  if (hostLength > COMMAND_HOST_MAX) return -1;
  memcpy(out->host, hostStart, hostLength);
  out->host[hostLength] = '\0';

  while (*p && isspace(static_cast<unsigned char>(*p))) ++p;
  if (*p == '\0') return 0;
  long port = 0;
  for (; *p && !isspace(static_cast<unsigned char>(*p)); ++p) {
    if (!isdigit(static_cast<unsigned char>(*p))) return -1;
    port = port * 10 + (*p - '0');
    if (port > 65535) return -1;
  }
  out->port = static_cast<int>(port);
  return 0;
}

int entryForCommandLine(const CommandLine& line, const BookKind& kind, const FieldSpec& addressField,
                        const FieldSpec& portField, uint8_t* record) {
  int used = 0;
  // Only a file of exactly one record is taken, as the book listing takes
  // them; its texts and values go through the record accessors like any entry.
  std::string path = entryFilePath(kind, line.host);
  std::error_code ec;
  if (!path.empty() && fs::is_regular_file(path, ec)) {
    std::vector<uint8_t> fromFile(record, record + kind.recordSize);
    if (fs::file_size(path, ec) == kind.recordSize && !ec &&
        recordFileRead(path, fromFile.data(), kind.recordSize) == static_cast<int>(kind.recordSize)) {
      std::copy(fromFile.begin(), fromFile.end(), record);
      used = 1;
    } else {
      used = -1;
    }
  }
  char name[COMMAND_NAME_MAX + 1];
  size_t length = strnlen(line.host, COMMAND_NAME_MAX);
  memcpy(name, line.host, length);
  name[length] = '\0';
  recordSetText(record, kind.nameField, name);
  recordSetText(record, addressField, line.host);
  if (line.port != 0) recordSetInt(record, portField, line.port);
  return used;
}
