#include "ftp/ftp_connection.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "frame/frame_session.h"
#include "ftp/ftp_firewall.h"
#include "ftp/ftp_session.h"
#include "shell/ftp_entry.h"
#include "shell/message_ids.h"
#include "terminal/link.h"
#include "terminal/plain_view.h"

namespace {
bool withLogin = true;
bool inFirewallScript = false;
std::string firewallScript = "pxftp.txt";
void noStep() {}
void (*loggedInStep)() = noStep;

FtpEntry* record() { return reinterpret_cast<FtpEntry*>(frameSession.record); }

void writeSession(const char* bytes, int length) {
  plainViewWrite(reinterpret_cast<const uint8_t*>(bytes), length);
}

void sessionText(const char* text) { writeSession(text, static_cast<int>(std::strlen(text))); }

// The login asked for a user name or a password: the entry keeps them, and
// its file is written (the password only when it is to be saved).
void saveEntry(const char* user, const char* password, bool savePassword) {
  FtpEntry* e = record();
  if (!e) return;
  recordSetText(e->bytes, ftpField::userName, user);
  recordSetText(e->bytes, ftpField::password, password);
  if (savePassword) recordSetInt(e->bytes, ftpField::savePassword, 1);
  ftpSaveEntry(*e, TXT_ENTRY_CREATE_FAILED);
}

void disconnected() { frameLost(); }

void applyEntry(const FtpEntry& e) {
  using namespace ftpField;
  ftp.binary = recordInt(e.bytes, binary) != 0;
  ftp.passive = recordInt(e.bytes, passive) != 0;
  ftp.recover = recordInt(e.bytes, recover) != 0;
  ftp.hideListing = recordInt(e.bytes, hideListing) != 0;
  ftp.realtimeJpeg = recordInt(e.bytes, viewJpegRealtime) != 0;
  ftp.fixedSystemType = ftpSystemType(e);
  std::string dir = recordText(e.bytes, downloadDir);
  ftp.localDir = recordInt(e.bytes, downloadToCurrent) != 0 || dir.empty() ? "." : dir;
}

int lineOpen(const SessionProfile& profile) {
  FtpEntry* e = record();
  if (!e) return -1;
  ftpSessionReset();
  plainViewReset();
  applyEntry(*e);
  std::string host = profile.address;
  int port = recordInt(e->bytes, ftpField::port) > 0 ? ftpPort(*e) : 0;
  bool firewall = recordInt(e->bytes, ftpField::useFirewall) != 0;
  if (firewall && ftpFirewallTarget(profile.address, &host, &port) != 0) return -1;
  if (ftpConnect(host.c_str(), port, FTP_CONNECT_MS) != 0) {
    frameAttemptEnded();
    return -1;
  }
  ftp.viaFirewall = firewall;
  frameEstablished();
  return 0;
}

void lineClose() {
  if (!ftp.connected) return;
  ftpDisconnectCommand();
  // After QUIT's reply nothing more is wanted from the server: a server that
  // keeps the connection open after it must not hold the session.
  if (ftp.connected) ftpDisconnect();
}

bool busy() { return ftp.busy; }
void nothing() {}

// The frame has filled an empty download directory of the entry from the
// settings by now: the session's settings are taken again.
void lineAttach() {
  ftpLineAttachHooks();
  if (FtpEntry* e = record()) applyEntry(*e);
}

void sessionStart() {
  FtpEntry* e = record();
  if (!e) return;
  ftpLineWatchStart();
  if (ftp.viaFirewall) {
    int sitePort = static_cast<int>(recordInt(e->bytes, ftpField::port));
    inFirewallScript = true;
    int r = ftpFirewallLogin(firewallScript.c_str(), recordText(e->bytes, ftpField::address), sitePort);
    inFirewallScript = false;
    if (r != 0) return;
  }
  if (!withLogin) {
    sessionText("ftp>");
    return;
  }
  FtpLoginInfo info;
  info.anonymous = recordInt(e->bytes, ftpField::anonymous) != 0;
  info.user = recordText(e->bytes, ftpField::userName);
  info.password = recordText(e->bytes, ftpField::password);
  info.fixedSystemType = ftpSystemType(*e);
  if (FtpLogin(info) == LINK_LOST) {
    if (ftp.lost) ftpDisconnect();
    return;
  }
  if (ftp.connected && recordInt(e->bytes, ftpField::noFtpWindow) == 0) loggedInStep();
}

// The transfer settings as the session left them (the FTP window's boxes, the
// menu, a typed binary or ascii) go back into the entry. The frame asks for
// them at the end and before the settings sheet, so the watch goes on here:
// its timer ends with the session's timers.
void sessionEnd(uint8_t* r) {
  if (!r) return;
  recordSetInt(r, ftpField::binary, ftp.binary ? 1 : 0);
  recordSetInt(r, ftpField::recover, ftp.recover ? 1 : 0);
  recordSetInt(r, ftpField::passive, ftp.passive ? 1 : 0);
}
void noSize(int, int) {}
void statusText(char* text, int size) {
  snprintf(text, static_cast<size_t>(size), "%s is connected", frameSession.profile.address);
}
bool noSpecial(int) { return false; }
void special(int, uintptr_t) {}
}  // namespace

void ftpLineSetLogin(bool login) { withLogin = login; }
bool ftpLineInFirewallScript() { return inFirewallScript; }
void ftpLineSetFirewallScript(const char* path) { firewallScript = path; }
void ftpLineSetLoggedIn(void (*loggedIn)()) { loggedInStep = loggedIn ? loggedIn : noStep; }

void ftpLineAttachHooks() {
  ftpHooks.writeSession = writeSession;
  ftpHooks.disconnected = disconnected;
  ftpHooks.saveEntry = saveEntry;
}

void ftpLinePoll() {
  if (!ftp.connected) return;
  // A running command, listing or transfer (the transfer dialog's, between
  // its turns too) reads its own replies.
  if (ftp.busy || ftp.transferRunning || ftp.listingRunning) return;
  if (ftp.lost) {
    ftpDisconnect();
    return;
  }
  if (!ftpSockWait(ftp.control, false, 0)) return;
  uint8_t bytes[512];
  int n = ReceiveControlBytes(bytes, sizeof bytes);
  if (n == LINK_LOST) {
    ftpDisconnect();
    return;
  }
  if (n > 0) writeSession(reinterpret_cast<const char*>(bytes), n);
}

const FrameConnection FTP_CONNECTION = {
    "ftp",  0,           lineOpen, lineClose,     busy,       ftpLineMessage, ftpLineModeless, nothing, nothing,
    lineAttach, sessionStart, sessionEnd, noSize, statusText, noSpecial, special,
};
