#include "tests/support/tool_runner.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/file_text.h"
#include "tests/support/peers.h"

int runTool(const std::string& name, const std::string& args, std::string* out, std::string* err,
            const std::string& input) {
  mkdir(buildPath("logs").c_str(), 0755);
  // Tests run in parallel: every run has files of its own.
  static int runs = 0;
  std::string base = buildPath("logs/" + name + "-tool-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
  std::ofstream(base + ".in", std::ios::binary) << input;
  // A tool that hangs is killed, so a test of it fails rather than waits.
  std::string cmd = "timeout -k 5 60 " + buildPath("tools/" + name) + " " + args + " <" + base + ".in 2>" + base + ".err";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return -1;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out->append(buf.data(), n);
  int status = pclose(p);
  err->append(readFile(base + ".err"));
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
