// The FTP engine against the four real servers: tools/ftp as a user drives
// it, and the engine itself where a Cancel press is needed mid-transfer.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <sys/stat.h>

#include "ftp/ftp_session.h"
#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "tests/support/ftp_peers.h"
#include "tests/support/file_text.h"
#include "tests/support/peers.h"
#include "shell/settings_posix.h"
#include "tests/support/tool_runner.h"

namespace {
bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

class FtpServer : public ::testing::TestWithParam<FtpServerKind> {
 protected:
  FtpPeer peer;
  std::string local;  // the download directory

  void SetUp() override {
    std::string why;
    ASSERT_TRUE(ftpPeerStart(GetParam(), &peer, &why)) << why;
    local = peer.runDir + "/local";
    mkdir(local.c_str(), 0755);
  }
  void TearDown() override { ftpPeerStop(&peer); }

  // Logs in as peertest, enters the tree and types the lines.
  int session(const std::string& lines, std::string* out, const std::string& options = "") {
    std::string err;
    int rc = runTool("ftp",
                     "--host 127.0.0.1 --port " + std::to_string(peer.port) + " --user peertest --dir " + local +
                         " " + options,
                     out, &err, "peerpass\ncd " + peer.treePath + "\n" + lines);
    if (!err.empty()) *out += "\n[stderr] " + err;
    return rc;
  }
};

TEST_P(FtpServer, CommandsChangeTheServersTree) {
  std::string out;
  ASSERT_EQ(session("system\ncd sub\npwd\ncdup\npwd\nmkdir made1\nmkdir made2\nrmdir made2\n"
                    "rename readme.txt renamed.txt\ndelete old.txt\nquit\n",
                    &out),
            0)
      << out;
  EXPECT_NE(out.find("PASS ****\r\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("peerpass"), std::string::npos) << "the password is never shown";
  EXPECT_NE(out.find("215 UNIX"), std::string::npos) << out;
  std::string sub = peer.treePath == "/" ? "/sub" : peer.treePath + "/sub";
  size_t pwd = out.find("257 ");
  ASSERT_NE(pwd, std::string::npos) << out;
  EXPECT_NE(out.substr(pwd, out.find('\n', pwd) - pwd).find(sub), std::string::npos) << out;
  for (auto [name, there] : {std::pair<const char*, bool>{"made1", true}, {"made2", false}, {"renamed.txt", true},
                             {"readme.txt", false}, {"old.txt", false}})
    EXPECT_EQ(exists(peer.tree + "/" + name), there) << name;

  // A refused password ends the tool with 1, a refused connection with 2.
  std::string err;
  out.clear();
  EXPECT_EQ(runTool("ftp", "--host 127.0.0.1 --port " + std::to_string(peer.port) + " --user peertest", &out, &err,
                    "wrong\npwd\n"),
            1)
      << out;
  EXPECT_NE(out.find("\n530"), std::string::npos) << out;
  EXPECT_EQ(runTool("ftp", "--host 127.0.0.1 --port " + std::to_string(freeTcpPort()) + " --anonymous", &out, &err), 2);
}

// The fixture tree listed in both modes, read by the listing parser as the FTP
// window does; the raw LIST bytes of the session, replayed through ftplist,
// give the same entries.
TEST_P(FtpServer, ListingsActiveAndPassive) {
  // pure-ftpd leaves names with control characters out of its listings.
  const bool tabShown = GetParam() != FTP_PUREFTPD;
  const std::string recent = ftpRecentDate();
  for (const char* mode : {"", "--passive"}) {
    std::string out;
    ASSERT_EQ(session("dir\nquit\n", &out, std::string("--parse ") + mode), 0) << out;
    EXPECT_NE(out.find(mode[0] ? "PASV\r\n" : "PORT 127,0,0,1,"), std::string::npos) << out;
    size_t entries = out.rfind("ftp>") + 5;
    std::string view = out.substr(entries);
    for (std::string line : {"dir\tsub\t4096\t" + recent, std::string("dir\tlink -> readme.txt\t10\t"),
                             "file\thuge.bin\t5368709120\t" + recent, std::string("file\told.txt\t4\tFeb 03 2001\n"),
                             "file\twith space.txt\t7\t" + recent, "file\t" + ftpLongName() + "\t5\t",
                             std::string("file\ttab\tname\t4\t")}) {
      if (line.find("tab\tname") != std::string::npos && !tabShown) continue;
      EXPECT_NE(("\n" + view).find("\n" + line), std::string::npos) << mode << " lacks " << line << " in\n" << view;
    }
    EXPECT_EQ(std::count(view.begin(), view.end(), '\n'), tabShown ? 15 : 14) << view;
    EXPECT_LT(view.find("dir\t"), view.find("file\t")) << "directories come first";
    // The raw listing is the text between the LIST's 150 and 226 lines.
    size_t list = out.find('\n', out.rfind("LIST\r\n") + 6) + 1;
    std::string raw = out.substr(list, out.find("\n226", list) + 1 - list), replayed, err;
    ASSERT_EQ(runTool("ftplist", "--system 1", &replayed, &err, raw), 0) << err;
    EXPECT_EQ(replayed, view);
  }
}

TEST_P(FtpServer, BinaryDownloadsAndUploadsAreByteIdentical) {
  const char* names[] = {"size0.bin", "size1.bin", "size1023.bin", "size1024.bin", "size1025.bin", "big.bin"};
  for (const char* mode : {"", "--passive"}) {
    std::string lines = "binary\n";
    for (const char* n : names) lines += std::string("get ") + n + "\n";
    for (const char* n : names) lines += "put " + peer.tree + "/" + n + " up-" + n + "\n";
    std::string out;
    ASSERT_EQ(session(lines + "quit\n", &out, mode), 0) << out.substr(0, 4000);
    for (const char* n : names) {
      std::string original = readFile(peer.tree + "/" + n);
      EXPECT_TRUE(readFile(local + "/" + n) == original) << mode << " get " << n;
      EXPECT_TRUE(readFile(peer.tree + "/up-" + n) == original) << mode << " put " << n;
      std::remove((local + "/" + n).c_str());
      std::remove((peer.tree + "/up-" + n).c_str());
    }
    EXPECT_EQ(out.find("Transfer terminated"), std::string::npos);
  }
}

TEST_P(FtpServer, AsciiModeLineEnds) {
  std::string out;
  ASSERT_EQ(session("ascii\nget ascii.txt\nquit\n", &out), 0) << out;
  std::string got = readFile(local + "/ascii.txt");
  // pyftpdlib refuses the "A N" form but is in ASCII from the start.
  EXPECT_EQ(got, "one\r\ntwo\r\nthree\r\n") << out;
  EXPECT_NE(out.find("TYPE A N\r\n"), std::string::npos);
}

TEST_P(FtpServer, RecoverResumesAPartialDownload) {
  // The partial file holds other bytes than the server's, so a resume can be
  // told from a whole new download.
  std::string original = readFile(peer.tree + "/big.bin");
  std::ofstream(local + "/big.bin", std::ios::binary) << std::string(3000, 'Z');
  std::string out;
  ASSERT_EQ(session("binary\nget big.bin\nquit\n", &out, "--recover --passive"), 0) << out;
  EXPECT_NE(out.find("REST 3000\r\n"), std::string::npos) << out;
  std::string got = readFile(local + "/big.bin");
  ASSERT_EQ(got.size(), original.size());
  EXPECT_EQ(got.substr(0, 3000), std::string(3000, 'Z'));
  EXPECT_TRUE(got.compare(3000, std::string::npos, original, 3000, std::string::npos) == 0);
}

// Cancel in the middle of a 50 MB download: the abort sequence, each server's
// replies, whole blocks kept, and a connection that still answers.
std::string engineView;
void toView(const char* bytes, int length) { engineView.append(bytes, static_cast<size_t>(length)); }
std::string lastStatus;
void statusOf(const char* text) { lastStatus = text; }
void cancelAfterAMegabyte(const FtpProgress& p) {
  if (p.offset >= (1 << 20)) ftpCancelTransfer();
}

TEST_P(FtpServer, AbortInTheMiddleOfADownload) {
  clockUseRealTime();
  settingsReset();
  ftpSessionReset();
  ftpResetHooks();
  engineView.clear();
  ftpHooks.writeSession = toView;
  ftpHooks.transferStatus = statusOf;
  ftpHooks.progress = cancelAfterAMegabyte;
  ftp.localDir = local;
  ftp.binary = true;
  ftp.passive = true;
  ASSERT_EQ(ftpConnect("127.0.0.1", peer.port, 5000), 0);
  FtpLoginInfo login;
  login.user = "peertest";
  login.password = "peerpass";
  ASSERT_EQ(FtpLogin(login), 0) << engineView;
  ASSERT_EQ(SendFtpCommand(("CWD " + peer.treePath + "\r\n").c_str(), KIND_CD), 250) << engineView;
  ftp.localName = "big.bin";
  ASSERT_EQ(RunDataCommand("RETR big.bin\r\n", KIND_GET), 0) << engineView;
  EXPECT_EQ(ftpDownloadRun(), -1);
  EXPECT_EQ(lastStatus, "Transfer terminated");
  ftpTransferFinish();
  std::string got = readFile(local + "/big.bin");
  EXPECT_GE(got.size(), 1u << 20);
  EXPECT_LT(got.size(), 50u * 1000 * 1000);
  EXPECT_EQ(got.size() % 1024, 0u) << "only whole blocks are written";
  EXPECT_TRUE(readFile(peer.tree + "/big.bin").compare(0, got.size(), got) == 0);
  EXPECT_NE(engineView.find("ABOR\r\n"), std::string::npos);
  // Every server here answers twice: the interrupted RETR (426, or 226 when
  // all had been sent) and then ABOR; the next command gets its own reply.
  size_t abor = engineView.find("ABOR\r\n"), restore = engineView.find("TYPE A N\r\n", abor);
  std::istringstream replies(engineView.substr(abor, restore - abor));
  int finals = 0;
  for (std::string line; std::getline(replies, line);)
    if (line.size() > 3 && isdigit(line[0]) && line[3] == ' ') ++finals;
  EXPECT_EQ(finals, 2) << engineView.substr(abor);
  EXPECT_EQ(SendFtpCommand("NOOP\r\n", KIND_OTHER), 200) << engineView;
  ftpDisconnect();
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpServer,
                         ::testing::Values(FTP_VSFTPD, FTP_PROFTPD, FTP_PUREFTPD, FTP_PYFTPDLIB),
                         [](const auto& info) {
                           std::string n = ftpServerName(info.param);
                           return n == "pure-ftpd" ? std::string("pureftpd") : n;
                         });
}  // namespace
