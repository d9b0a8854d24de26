// The MS-DOS command's line: the shell COMSPEC names, quoted when needed.
#include <gtest/gtest.h>

#include "shell/command_shell.h"

TEST(CommandShell, ComspecOrCommandComWhenMissing) {
  const struct {
    const char* comspec;
    const char* line;
  } cases[] = {
      {"C:\\windows\\system32\\cmd.exe", "C:\\windows\\system32\\cmd.exe"},
      {"  C:\\WINDOWS\\cmd.exe\t", "C:\\WINDOWS\\cmd.exe"},
      {"C:\\Program Files\\Shell\\sh.exe", "\"C:\\Program Files\\Shell\\sh.exe\""},
      {"\"C:\\Program Files\\sh.exe\"", "\"C:\\Program Files\\sh.exe\""},
      {"", "command.com"},
      {"   ", "command.com"},
      {nullptr, "command.com"},
  };
  for (const auto& c : cases) EXPECT_EQ(commandShellLine(c.comspec), c.line) << (c.comspec ? c.comspec : "(none)");
}
