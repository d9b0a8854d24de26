#include "tests/support/ftp_peers.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include "tests/support/peers.h"

namespace {
bool shell(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Noon a day ago, so that every server shows a time rather than a year.
time_t recentTime() { return (std::time(nullptr) / 86400 - 1) * 86400 + 12 * 3600 + 14 * 60; }

bool makeTree(const std::string& tree) {
  if (mkdir(tree.c_str(), 0755) != 0) return false;
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(tree + "/" + name, std::ios::binary) << bytes;
  };
  mkdir((tree + "/sub").c_str(), 0755);
  write("sub/inner.txt", "inner\n");
  write("readme.txt", "readme\r\n");
  write("with space.txt", "spaced\n");
  write("tab\tname", "tab\n");
  write(ftpLongName(), "long\n");
  write("old.txt", "old\n");
  write("ascii.txt", "one\ntwo\nthree\n");
  // 50 MB of bytes that differ from block to block, for whole-file compares.
  {
    std::string big(50 * 1000 * 1000, '\0');
    uint32_t x = 12345;
    for (char& c : big) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    write("big.bin", big);
  }
  for (int n : {0, 1, 1023, 1024, 1025}) {
    std::string bytes;
    for (int i = 0; i < n; ++i) bytes += static_cast<char>((i * 7 + n) & 0xFF);
    write("size" + std::to_string(n) + ".bin", bytes);
  }
  std::ofstream(tree + "/huge.bin").close();
  if (truncate((tree + "/huge.bin").c_str(), 5368709120LL) != 0) return false;
  if (symlink("readme.txt", (tree + "/link").c_str()) != 0) return false;
  utimbuf old{981173100, 981173100};  // 2001-02-03 04:05 UTC
  utime((tree + "/old.txt").c_str(), &old);
  time_t recent = recentTime();
  utimbuf now{recent, recent};
  for (const char* name : {"readme.txt", "with space.txt", "sub", "huge.bin"})
    utime((tree + "/" + name).c_str(), &now);
  return shell("chown -R -h peertest:peertest " + quote(tree));
}

std::string vsftpdConfig(const FtpPeer& p) {
  return "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(p.port) +
         "\nbackground=NO\nanonymous_enable=YES\nanon_root=" + p.tree +
         "\nno_anon_password=YES\nascii_upload_enable=YES\nascii_download_enable=YES\nanon_upload_enable=NO\nlocal_enable=YES\nwrite_enable=YES\n"
         "local_umask=022\npam_service_name=vsftpd\npasv_enable=YES\npasv_address=127.0.0.1\n"
         "port_enable=YES\nconnect_from_port_20=NO\nsecure_chroot_dir=" + p.runDir +
         "/empty\nseccomp_sandbox=NO\nxferlog_enable=NO\n";
}

std::string proftpdConfig(const FtpPeer& p) {
  return "ServerName \"peer\"\nServerType standalone\nDefaultServer on\nDefaultAddress 127.0.0.1\n"
         "SocketBindTight on\nPort " + std::to_string(p.port) +
         "\nUseIPv6 off\nUser nobody\nGroup nogroup\nUseReverseDNS off\nWtmpLog off\nDelayEngine off\n"
         "ControlsEngine off\nPidFile " + p.runDir + "/proftpd.pid\nScoreboardFile " + p.runDir +
         "/proftpd.scoreboard\nAuthPAM off\nAuthOrder mod_auth_unix.c\nRequireValidShell off\n"
         "Umask 022\nAllowOverwrite on\nAllowRetrieveRestart on\nAllowStoreRestart on\n"
         "<Anonymous " + p.tree + ">\n User ftp\n Group nogroup\n UserAlias anonymous ftp\n"
         " RequireValidShell off\n <Limit WRITE>\n  DenyAll\n </Limit>\n</Anonymous>\n";
}
}  // namespace

const char* ftpServerName(FtpServerKind kind) {
  static const char* names[] = {"vsftpd", "proftpd", "pure-ftpd", "pyftpdlib"};
  return names[kind];
}

std::string ftpLongName() {
  std::string name = "long-";
  while (name.size() < 196) name += "abcdefghij";
  name.resize(196);
  return name + ".txt";
}

std::string ftpRecentDate() {
  time_t t = recentTime();
  char text[32];
  std::strftime(text, sizeof text, "%b %d %H:%M", std::gmtime(&t));
  return text;
}

bool ftpPeerStart(FtpServerKind kind, FtpPeer* peer, std::string* why) {
  peer->name = ftpServerName(kind);
  char dir[] = "/tmp/ftp-peer.XXXXXX";
  if (!mkdtemp(dir)) {
    *why = "no temporary directory";
    return false;
  }
  peer->runDir = dir;
  chmod(dir, 0755);  // the servers' unprivileged users must reach the tree
  mkdir((peer->runDir + "/empty").c_str(), 0755);
  peer->tree = peer->runDir + "/tree";
  if (!makeTree(peer->tree)) {
    *why = "fixture tree not made (is tools/setup's user peertest there?)";
    return false;
  }
  peer->treePath = peer->tree;
  peer->port = freeTcpPort();
  std::string port = std::to_string(peer->port);
  std::vector<std::string> argv;
  switch (kind) {
    case FTP_VSFTPD:
      std::ofstream(peer->runDir + "/vsftpd.conf") << vsftpdConfig(*peer);
      argv = {"/usr/sbin/vsftpd", peer->runDir + "/vsftpd.conf"};
      break;
    case FTP_PROFTPD:
      std::ofstream(peer->runDir + "/proftpd.conf") << proftpdConfig(*peer);
      argv = {sourcePath("build/peers/proftpd/usr/sbin/proftpd"), "-n", "-q", "-c", peer->runDir + "/proftpd.conf"};
      break;
    case FTP_PUREFTPD:
      argv = {sourcePath("build/peers/pure-ftpd/usr/sbin/pure-ftpd"), "--bind=127.0.0.1," + port, "--login=unix",
              "--anonymouscantupload", "--dontresolve", "--pidfile=" + peer->runDir + "/pure-ftpd.pid"};
      break;
    case FTP_PYFTPDLIB:
      // pyftpdlib's users see their home as "/".
      peer->treePath = "/";
      argv = {"/usr/bin/python3", sourcePath("tests/support/pyftpdlib_server.py"), port, peer->tree};
      break;
  }
  peer->pid = peerStart(argv, peer->name);
  if (peer->pid < 0 || !waitListening(peer->port, 8000)) {
    *why = std::string(peer->name) + " did not start listening (log in build/logs)";
    ftpPeerStop(peer);
    return false;
  }
  return true;
}

void ftpPeerStop(FtpPeer* peer) {
  peerStop(peer->pid);
  peer->pid = -1;
  if (peer->runDir.size() > 14) shell("rm -rf " + quote(peer->runDir));
  peer->runDir.clear();
}
