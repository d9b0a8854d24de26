// The termplay tool end to end: its options and its exact output format (the
// emulations themselves are tested through the receive path).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "tests/support/peers.h"

namespace {

std::string run(const std::string& args, const std::string& input, int* status = nullptr) {
  // ctest runs the cases side by side: one input file per process.
  std::string file = buildPath("termplay_input_" + std::to_string(getpid()) + ".bin");
  std::ofstream(file, std::ios::binary) << input;
  std::string command = buildPath("tools/termplay") + " " + args + " " + file + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  size_t n;
  while (pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int rc = pipe ? pclose(pipe) : -1;
  if (status) *status = rc;
  std::remove(file.c_str());
  return out;
}

TEST(Termplay, FullOutputFormat) {
  std::string out = run("--rows 3", "ab\\\x80\r\n\033[1;31mZ\033[6n");
  EXPECT_EQ(out,
            "cursor 2 2\n"
            "screen\n"
            "|ab\\x5c\\x80|\n"
            "|Z|\n"
            "||\n"
            "attr\n"
            "70707070\n"
            "90\n"
            "\n"
            "reply \\x1b[2;2R\n"
            "history 0\n");
}

TEST(Termplay, CursorPastLastColumnAndOptions) {
  EXPECT_NE(run("--columns 132", std::string(132, 'x')).find("cursor 1 133\n"), std::string::npos);
  EXPECT_NE(run("--autowrap 0", std::string(300, 'x')).find("cursor 1 256\n"), std::string::npos);
  EXPECT_NE(run("--inbound-crlf", "a\r\nb").find("|a|\n||\n|b|\n"), std::string::npos);
  EXPECT_NE(run("--strip-high-bit", "\xe9").find("|i|\n"), std::string::npos);
  EXPECT_NE(run("", "\xe9").find("|\\xe9|\n"), std::string::npos);
  EXPECT_NE(run("--display-controls", "A\r\nB").find("|A<cr><lf>B|\n"), std::string::npos);
  EXPECT_NE(run("--emulation 6", "\033Z").find("reply \\x1b[?62;1;2;9;11;14c\n"), std::string::npos);
  EXPECT_NE(run("--emulation 1", "\033[2Jx").find("|[2Jx|\n"), std::string::npos);
  EXPECT_NE(run("--capacity 24", std::string(100, '\n')).find("history 0\n"), std::string::npos);
}

TEST(Termplay, BadArgumentsFailWithOneLine) {
  int status = 0;
  std::string out = run("--columns 100", "", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("termplay: --columns takes 80 or 132"), std::string::npos);
  run("--emulation 11", "", &status);
  EXPECT_NE(status, 0);
}

}  // namespace
