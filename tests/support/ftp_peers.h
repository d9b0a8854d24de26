// The four real FTP servers on loopback, each serving one fixture tree: a
// directory, a symbolic link, names with a blank, a tab and 200 characters, a
// sparse 5 GB file, files of this year and of 2001. The local user peertest
// (password peerpass) may write in the tree; anonymous users may read it
// (pure-ftpd's anonymous root is fixed elsewhere, so not there).
#pragma once
#include <string>
#include <sys/types.h>

enum FtpServerKind { FTP_VSFTPD, FTP_PROFTPD, FTP_PUREFTPD, FTP_PYFTPDLIB };

struct FtpPeer {
  const char* name = "";
  pid_t pid = -1;
  int port = 0;
  std::string runDir;    // removed by ftpPeerStop
  std::string tree;      // the fixture on this machine
  std::string treePath;  // the fixture as the logged-in user names it (for "cd")
};

// Creates a fresh fixture and starts the server. False (with the reason in
// *why) when it does not listen within a few seconds.
bool ftpPeerStart(FtpServerKind kind, FtpPeer* peer, std::string* why);
// Stops the server by its pid and removes the fixture.
void ftpPeerStop(FtpPeer* peer);
const char* ftpServerName(FtpServerKind kind);

// The 200-character name in the fixture.
std::string ftpLongName();
// The fixture's "this year" time stamp, as Unix listings show it ("Dec 05 13:14").
std::string ftpRecentDate();
