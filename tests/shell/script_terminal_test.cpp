// Script characters through the real send path: with local echo on, a typed
// character shows on the screen and reaches the capture slot, a password
// character does neither; both reach the link, with the outbound line end.
#include <gtest/gtest.h>

#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "shell/script.h"
#include "shell/script_terminal.h"
#include "terminal/hooks.h"
#include "terminal/link.h"
#include "terminal/link_fd_posix.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"

namespace {
std::string captured;
bool captureOn() { return true; }
void captureByte(uint8_t b) { captured.push_back(static_cast<char>(b)); }

std::string readPeer(int fd) {
  std::string got;
  char buf[256];
  ssize_t n;
  while ((n = recv(fd, buf, sizeof buf, MSG_DONTWAIT)) > 0) got.append(buf, static_cast<size_t>(n));
  return got;
}

std::string row0() {
  const ScreenLine& line = lineAt(0);
  return std::string(reinterpret_cast<const char*>(line.cells), static_cast<size_t>(line.used));
}
}  // namespace

TEST(ScriptTerminal, PasswordCharactersAreNeitherEchoedNorCaptured) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  ASSERT_EQ(linkAttachFd(fds[0], true), 0);
  ASSERT_EQ(terminalReset(24, 80, 1000), 0);
  terminalOptions.localEcho = true;
  captured.clear();
  scriptAttachTerminal();
  terminalHooks.captureOn = captureOn;
  terminalHooks.captureByte = captureByte;

  for (char c : std::string("ab")) scriptSendChar(static_cast<uint8_t>(c), false);
  for (char c : std::string("pw\r")) scriptSendChar(static_cast<uint8_t>(c), true);
  EXPECT_EQ(readPeer(fds[1]), "abpw\r\n") << "local echo implies LF after CR";
  EXPECT_EQ(row0(), "ab");
  EXPECT_EQ(captured, "ab");

  // The running flag and the line match reach the terminal.
  EXPECT_TRUE(terminalHooks.scriptRunning && terminalHooks.scriptLineMatch);
  linkClose();
  close(fds[1]);
  terminalOptions.localEcho = false;
  hooksReset();
}
