// What a hostile FTP server (or whoever finds our data port) may try: data
// connections aimed at a third party, connections from strangers, silence
// that would hold the program forever, replies left out of step, and command
// lines that smuggle a second command.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdio>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "ftp/ftp_session.h"
#include "shell/pump.h"
#include "terminal/link.h"
#include "tests/ftp/ftp_harness.h"

namespace {
using S = std::vector<ScriptStep>;

std::string pasvTo(const char* address, int port) {
  return std::string("227 Entering Passive Mode (") + address + "," + std::to_string(port >> 8) + "," +
         std::to_string(port & 0xFF) + ")";
}

// Connects from `from` to `host`:port, writes bytes and closes.
bool connectAndSend(const char* from, const char* host, int port, const std::string& bytes) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  inet_pton(AF_INET, from, &a.sin_addr);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, host, &to.sin_addr);
  bool ok = s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
            write(s, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  if (s >= 0) close(s);
  return ok;
}

// The PASV reply's address is not where the data connection goes: the control
// connection's peer is, unless the control connection runs through the
// firewall host, which the server's own address lies behind.
TEST(FtpHostile, PassiveConnectsOnlyToTheControlPeer) {
  struct {
    const char* what;
    bool viaFirewall;
    unsigned long peerHost;  // where the data peer listens
    bool reached;
  } cases[] = {
      {"reply names another host: the server is used", false, 0x7F000001, true},
      {"a third party listening there is not reached", false, 0x7F000002, false},
      {"through the firewall the reply's address is used", true, 0x7F000002, true},
  };
  for (const auto& c : cases) {
    DataPeer data;
    ASSERT_TRUE(dataPeerStart(&data, "listing line\r\n", false, false, 0, c.peerHost));
    S steps = talk({"PASV", pasvTo("127,0,0,2", data.port)});
    if (c.reached) steps = steps + talk({"LIST", "150 go"}) + S{scriptPause(100), scriptSend("226 done\r\n")};
    Scripted server(steps);
    ASSERT_TRUE(server.connected);
    ftp.passive = true;
    ftp.viaFirewall = c.viaFirewall;
    EXPECT_EQ(RunDataCommand("LIST\r\n", KIND_DIR), c.reached ? 226 : -1) << c.what;
    EXPECT_EQ(ftpRecord.view.find("listing line") != std::string::npos, c.reached) << c.what;
    server.end();
    if (!c.reached) connectAndSend("127.0.0.1", "127.0.0.2", data.port, "");  // ends the third party's wait
  }
}

// Active mode listens on the control connection's local address only, and a
// stranger who connects first is turned away while the server's connection
// is still awaited.
TEST(FtpHostile, ActiveModeTakesOnlyTheServer) {
  Scripted server(S{scriptExpect("PORT 127,0,0,1,"), scriptSend("200 ok\r\n")} + talk({"LIST", "150 go"}) +
                  S{scriptPause(300), scriptSend("226 done\r\n")});
  ASSERT_TRUE(server.connected);
  uint32_t bound = 0;
  bool sent = false;
  pumpSetHook([&] {
    int port = 0;
    if (sent || ftp.listenSocket == FTP_NO_SOCKET || ftpSockLocalAddress(ftp.listenSocket, &bound, &port) < 0)
      return 0;
    sent = true;
    EXPECT_TRUE(connectAndSend("127.0.0.2", "127.0.0.1", port, "stranger's listing\r\n"));
    EXPECT_TRUE(connectAndSend("127.0.0.1", "127.0.0.1", port, "server's listing\r\n"));
    return 0;
  });
  EXPECT_EQ(RunDataCommand("LIST\r\n", KIND_DIR), 226);
  pumpSetHook(nullptr);
  EXPECT_TRUE(sent);
  EXPECT_EQ(ntohl(bound), 0x7F000001u) << "the listener is bound to the control connection's address";
  EXPECT_NE(ftpRecord.view.find("server's listing"), std::string::npos) << ftpRecord.view;
  EXPECT_EQ(ftpRecord.view.find("stranger"), std::string::npos) << ftpRecord.view;
}

// A server that goes silent ends the command as a lost connection after two
// minutes without a byte (on the manual clock, one second per turn), and
// Cancel ends a wait at once.
TEST(FtpHostile, SilenceAndCancelEndTheWaits) {
  struct Case {
    const char* what;
    S steps;
    std::function<int()> run;
    bool cancel;
    uint32_t atLeast, below;
  };
  FtpLoginInfo login;
  login.user = "u";
  login.password = "pw";
  auto listing = [] {
    ftp.passive = true;
    return RunDataCommand("LIST\r\n", KIND_DIR);
  };
  std::vector<Case> cases = {
      {"no reply to USER", S{scriptExpect("USER u\r\n"), scriptPause(3000)}, [&] { return FtpLogin(login); }, false,
       FTP_IDLE_MS, FTP_IDLE_MS + 5000},
      {"Cancel while USER waits", S{scriptExpect("USER u\r\n"), scriptPause(3000)}, [&] { return FtpLogin(login); },
       true, 0, 10000},
      {"150, data ends, then nothing", {}, listing, false, FTP_IDLE_MS, FTP_IDLE_MS + 5000},
      {"150, then no data", {}, listing, false, FTP_IDLE_MS, FTP_IDLE_MS + 5000},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Case& c = cases[i];
    DataPeer data;
    if (c.steps.empty()) {
      // The data peer holds its connection open without a byte in the last case.
      ASSERT_TRUE(dataPeerStart(&data, i == 2 ? "x\r\n" : "", false, false, i == 2 ? 0 : 3000));
      c.steps = talk({"PASV", pasvReply(data), "LIST", "150 go"}) + S{scriptPause(3000)};
    }
    Scripted server(c.steps, false, 1000);
    ASSERT_TRUE(server.connected);
    int turns = 0;
    if (c.cancel) pumpSetHook([&] {
        if (++turns == 5) ftpCancelWait();
        return 0;
      });
    EXPECT_EQ(c.run(), LINK_LOST) << c.what;
    EXPECT_TRUE(ftp.lost) << c.what;
    EXPECT_GE(clockTicks(), c.atLeast) << c.what;
    EXPECT_LT(clockTicks(), c.below) << c.what;
    ftpDisconnect();
  }
}

// An upload to a server that stops taking data ends the same way.
TEST(FtpHostile, SilenceEndsAnUpload) {
  const std::string big = "/tmp/ftp-upload-" + std::to_string(getpid());
  FILE* f = std::fopen(big.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ASSERT_EQ(truncate(big.c_str(), 64 << 20), 0);  // more than the sockets' buffers hold
  DataPeer data;
  ASSERT_TRUE(dataPeerStart(&data, "", false, false, 3000));  // accepts, reads nothing
  Scripted server(talk({"TYPE A N", "200 ok", "PASV", pasvReply(data), "STOR big", "150 go"}) + S{scriptPause(3000)},
                  false, 1000);
  ASSERT_TRUE(server.connected);
  ftp.passive = true;
  ftp.localPath = big;
  ASSERT_EQ(RunDataCommand("STOR big\r\n", KIND_PUT), 0);
  EXPECT_EQ(ftpUploadRun(), LINK_LOST);
  // Sending until the buffers are full takes some turns of the clock as well.
  EXPECT_GE(clockTicks(), FTP_IDLE_MS);
  EXPECT_LT(clockTicks(), 2 * FTP_IDLE_MS);
  ftpDisconnect();
  std::remove(big.c_str());
}

// After the active-mode wait for the server runs out, the data command's
// final reply is read, so the next command gets its own reply.
TEST(FtpHostile, RepliesStayInStepAfterTheAcceptTimeOut) {
  for (bool serverAnswers : {true, false}) {
    S after = serverAnswers ? S{scriptSend("425 Can't open data connection\r\n")}
                            : S{scriptExpect("\xff\xf4")} + talk({"ABOR", "226 aborted"});
    Scripted server(S{scriptExpect("PORT "), scriptSend("200 ok\r\n")} + talk({"LIST", "150 here it comes"}) + after +
                        talk({"NOOP", "200 noop"}),
                    false, 500);
    ASSERT_TRUE(server.connected);
    EXPECT_EQ(RunDataCommand("LIST\r\n", KIND_DIR), -1);
    ASSERT_EQ(ftpRecord.messages.size(), 1u);
    EXPECT_EQ(ftpRecord.messages[0], "Error: Failed to create data socket");
    EXPECT_GE(clockTicks(), FTP_ACCEPT_MS);
    EXPECT_EQ(SendFtpCommand("NOOP\r\n", KIND_OTHER), 200) << serverAnswers;
  }
}

// A command line is one line, whatever the caller built it from: a name with
// CR, LF or NUL (from a listing, or typed) sends nothing; nor does a local
// name with control bytes create a file.
TEST(FtpHostile, SmuggledCommandsAreRefused) {
  Scripted server(talk({"NOOP", "200 ok"}));
  ASSERT_TRUE(server.connected);
  ftp.connected = true;
  const std::string withNul = std::string("RETR a\0DELE b\r\n", 15);
  EXPECT_EQ(SendFtpCommand("DELE a\r\nDELE b\r\n", KIND_DELETE), -1);
  EXPECT_EQ(SendFtpCommand("DELE a\rDELE b\r\n", KIND_DELETE), -1);
  EXPECT_EQ(SendFtpCommand("DELE a", KIND_DELETE), -1);
  EXPECT_EQ(RunDataCommand(withNul.c_str(), KIND_GET), -1);
  EXPECT_EQ(RunDataCommand("LIST\nDELE b\r\n", KIND_DIR), -1);
  for (const char* typed : {"dele a\nDELE b", "get x esc\x1b[31m", "get x nul.txt\x07"}) {
    for (const char* p = typed; *p; ++p) ftpTypedChar(static_cast<uint8_t>(*p));
    ftpTypedChar('\r');
  }
  EXPECT_EQ(SendFtpCommand("NOOP\r\n", KIND_OTHER), 200);
  EXPECT_EQ(server.end(), "NOOP\r\n");
  EXPECT_NE(ftpRecord.view.find(std::string(FTP_TEXT_BAD_LOCAL_NAME) + "esc\x1b[31m"), std::string::npos);
}
}  // namespace
