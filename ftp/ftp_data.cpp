// Data connections: PASV or PORT, TYPE and REST before the command, the
// listing receive and the abort sequence.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "ftp/ftp_session.h"
#include "ftp/ftp_wait.h"
#include "shell/pump.h"
#include "terminal/link.h"

namespace {
void session(const char* text) { ftpHooks.writeSession(text, static_cast<int>(std::strlen(text))); }

void closeSocket(FtpSocket* s) {
  ftpSockClose(*s);
  *s = FTP_NO_SOCKET;
}

// Reads a decimal field of at most three digits; false when it is not one or
// above 255, so a hostile reply cannot overflow the address or the port.
bool byteField(const char** p, char end, int* value) {
  const char* s = *p;
  while (*s == ' ') ++s;
  int v = 0, digits = 0;
  while (std::isdigit(static_cast<unsigned char>(*s))) {
    if (++digits > 3) return false;
    v = v * 10 + (*s++ - '0');
  }
  while (*s == ' ') ++s;
  if (digits == 0 || v > 255 || *s != end) return false;
  *value = v;
  *p = s + 1;
  return true;
}

// Connects the data socket to the PASV address; false after its message.
bool passiveConnect(uint32_t ip, int port) {
  FtpSocket s = FTP_NO_SOCKET;
  int r = ftpSockConnect(ip, port, &s);
  if (r < 0) return false;
  volatile bool expired = false;
  timerStart(FTP_TIMER_CONNECT, FTP_CONNECT_MS, &expired);
  while (r == 0) {
    r = ftpSockConnectState(s);
    if (r != 0) break;
    if (ftp.abortRequest || ftp.cancelRequest || expired || ftpIdle(s, true) < 0) {
      ftp.abortRequest = false;
      r = -1;
    }
  }
  timerKill(FTP_TIMER_CONNECT);
  if (r < 0) {
    ftpSockClose(s);
    return false;
  }
  ftp.dataSocket = s;
  return true;
}

// Waits for the server's connection in active mode, for a minute at most.
// Only the control connection's peer may connect: anyone else who finds the
// port is turned away and the wait goes on (through the firewall host the
// server is not that peer, and anyone is taken).
bool acceptData() {
  uint32_t server = 0;
  const bool check = !ftp.viaFirewall && ftpSockPeerAddress(ftp.control, &server) == 0;
  volatile bool expired = false;
  timerStart(FTP_TIMER_ACCEPT, FTP_ACCEPT_MS, &expired);
  int r = 0;
  FtpSocket s = FTP_NO_SOCKET;
  for (;;) {
    r = ftpSockAccept(ftp.listenSocket, &s);
    if (r == 1) {
      uint32_t peer = 0;
      if (!check || (ftpSockPeerAddress(s, &peer) == 0 && peer == server)) break;
      // Turned away; a flood of strangers still leaves the window its turn.
      ftpSockClose(s);
      r = 0;
    }
    if (r < 0 || expired || ftp.cancelRequest || ftpIdle(ftp.listenSocket, false) < 0) break;
  }
  timerKill(FTP_TIMER_ACCEPT);
  closeSocket(&ftp.listenSocket);
  if (r != 1) return false;
  ftp.dataSocket = s;
  return true;
}

// Abort of a listing: the abort sequence, then the reply to the interrupted
// command and, after a 426, the one to ABOR. Servers differ; none may hang us.
int abortListing() {
  if (SendAbortSequence() == LINK_LOST) return LINK_LOST;
  ftp.abortRequest = false;
  int code = ReadFtpReplyWithin(KIND_OTHER, FTP_ABORT_REPLY_MS);
  if (code == 426) code = ReadFtpReplyWithin(KIND_OTHER, FTP_ABORT_REPLY_MS);
  else if (code >= 0) code = 0;
  return code;
}

// Receives a listing into the session view and the listing parser. Returns
// the abort handling's code, 0 when not aborted, or LINK_LOST.
int receiveListing(int kind, bool* aborted) {
  const bool window = ftpHooks.windowOpen();
  if (window) ftpHooks.listingStart(ftp.systemType);
  uint8_t block[FTP_BLOCK];
  ftp.idleSince = clockTicks();
  for (;;) {
    if (ftp.abortRequest || ftp.cancelRequest) {
      ftp.cancelRequest = false;
      *aborted = true;
      return abortListing();
    }
    int n = ftpSockRecv(ftp.dataSocket, block, sizeof block);
    if (n > 0) {
      ftp.idleSince = clockTicks();
      if (!(window && ftp.hideListing)) ftpHooks.writeSession(reinterpret_cast<char*>(block), n);
      if (window) ftpHooks.listingBytes(block, n);
      if (ftpPumpDue() < 0) return LINK_LOST;
      continue;
    }
    if (n != FTP_SOCK_WOULDBLOCK) break;
    if (ftpWaitAbandoned() || ftpIdle(ftp.dataSocket, false) < 0) return LINK_LOST;
  }
  if (kind == KIND_DIR && window) ftpHooks.listingDone();
  return 0;
}

// A failed transfer command puts the type back to ASCII.
int failTransfer(int kind, int result) {
  ftp.localName.clear();
  closeSocket(&ftp.listenSocket);
  closeSocket(&ftp.dataSocket);
  if (kind != KIND_GET && kind != KIND_PUT) return result;
  if (result == LINK_LOST) return LINK_LOST;
  return SendFtpCommand("TYPE A N\r\n", KIND_RESTORE) == LINK_LOST ? LINK_LOST : -1;
}

std::string joinLocal(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  char last = dir.back();
  if (last == '/' || last == '\\') return dir + name;
  return dir + localSeparator() + name;
}
}  // namespace

bool ftpParsePasv(const char* text, uint32_t* ipv4, int* port) {
  const char* p = std::strchr(text, '(');
  if (!p) return false;
  ++p;
  int f[6];
  for (int i = 0; i < 6; ++i)
    if (!byteField(&p, i < 5 ? ',' : ')', &f[i])) return false;
  uint8_t bytes[4] = {static_cast<uint8_t>(f[0]), static_cast<uint8_t>(f[1]), static_cast<uint8_t>(f[2]),
                      static_cast<uint8_t>(f[3])};
  std::memcpy(ipv4, bytes, 4);
  *port = f[4] * 256 + f[5];
  return true;
}

int64_t ftpAnnouncedSize(const char* text, std::string* shown) {
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  size_t open = upper.rfind('('), bytes = upper.rfind("BYTES");
  if (open == std::string::npos || bytes == std::string::npos || bytes < open) {
    *shown = "Unknown";
    return 0;
  }
  const char* p = text + open + 1;
  while (*p == ' ') ++p;
  int64_t size = 0;
  int digits = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)) && digits < 18; ++digits) size = size * 10 + (*p++ - '0');
  // "(-5 bytes)" and the like announce nothing usable.
  if (digits == 0 || size == 0) {
    *shown = "Unknown";
    return 0;
  }
  *shown = std::string(text + open + 1, bytes - open - 1);
  return size;
}

int SendAbortSequence() {
  static const uint8_t interrupt[] = {0xFF, 0xF4}, mark[] = {0xFF, 0xF2};
  if (SendControlBytes(interrupt, 2) < 0 || SendControlBytes(mark, 2, true) < 0) return LINK_LOST;
  session("ABOR\r\n");
  return SendControlBytes(reinterpret_cast<const uint8_t*>("ABOR\r\n"), 6) < 0 ? LINK_LOST : 0;
}

int RunDataCommand(const char* line, int kind) {
  ftpHooks.writeSession(line, static_cast<int>(std::strlen(line)));
  if (!ftpCommandLineSafe(line)) {
    session(FTP_TEXT_BAD_COMMAND);
    return -1;
  }
  if (kind == KIND_GET) {
    std::string text = line;
    ftp.remoteName = text.size() > 5 ? text.substr(5, text.find_first_of("\r\n", 5) - 5) : std::string();
    // The window names no local file: it is the remote one's name part. A
    // name given goes through the same rule, whoever chose it.
    std::string asked = ftp.localName.empty() ? ftp.remoteName : ftp.localName;
    ftp.localName = ftpLocalNameOf(asked);
    if (ftp.localName.empty()) {
      session(FTP_TEXT_BAD_LOCAL_NAME);
      session((asked + "\r\n").c_str());
      return -1;
    }
  }
  ftp.transferKind = kind;
  ftp.abortRequest = false;
  ftp.transferAbort = false;
  const bool transfer = kind == KIND_GET || kind == KIND_PUT;
  if (transfer) {
    int code = SendFtpCommand(ftp.binary ? "TYPE I\r\n" : "TYPE A N\r\n", ftp.binary ? KIND_BINARY : KIND_ASCII);
    if (code == LINK_LOST) return LINK_LOST;
  }
  bool passive = ftp.passive;
  if (passive) {
    int code = SendFtpCommand("PASV\r\n", KIND_OTHER);
    if (code == LINK_LOST) return LINK_LOST;
    if (code < 400) {
      uint32_t ip;
      int port;
      if (!ftpParsePasv(ftp.lastReplyText, &ip, &port)) {
        session("Malformed PASV reply\r\n");
        return failTransfer(kind, -1);
      }
      // Only the port is taken from the reply: its address could aim us at
      // another host or at our own loopback services. Through the firewall
      // host the server's own address is the one to reach.
      if (!ftp.viaFirewall && ftpSockPeerAddress(ftp.control, &ip) < 0) ip = 0;
      if (ip == 0 || !passiveConnect(ip, port)) {
        ftpHooks.message(FTP_TEXT_DATA_FAILED, "Error");
        return failTransfer(kind, -1);
      }
    } else {
      passive = false;  // a server without PASV still has PORT
    }
  }
  if (!passive) {
    uint32_t ip;
    int port;
    // The listener takes only the control connection's local address, not
    // every interface of the machine.
    if (ftpSockLocalAddress(ftp.control, &ip, nullptr) < 0 || ftpSockListen(ip, &ftp.listenSocket) < 0 ||
        ftpSockLocalAddress(ftp.listenSocket, nullptr, &port) < 0) {
      closeSocket(&ftp.listenSocket);
      ftpHooks.message(FTP_TEXT_LISTEN_FAILED, "error");
      return failTransfer(kind, -1);
    }
    const uint8_t* a = reinterpret_cast<const uint8_t*>(&ip);
    char command[64];
    std::snprintf(command, sizeof command, "PORT %d,%d,%d,%d,%d,%u\r\n", a[0], a[1], a[2], a[3], port >> 8,
                  static_cast<unsigned>(port & 0xFF));
    if (SendFtpCommand(command, kind) == LINK_LOST) return failTransfer(kind, LINK_LOST);
  }
  ftp.restart = false;
  ftp.restartOffset = 0;
  if (kind == KIND_GET) ftp.localPath = joinLocal(ftp.localDir, ftp.localName);
  if (kind == KIND_GET && ftp.recover) {
    int64_t have = localFileSize(ftp.localPath.c_str());
    if (have > 0) {
      char command[48];
      std::snprintf(command, sizeof command, "REST %lld\r\n", static_cast<long long>(have));
      int code = SendFtpCommand(command, KIND_REST);
      if (code == LINK_LOST) return failTransfer(kind, LINK_LOST);
      if (code > 399) return failTransfer(kind, -1);
      ftp.restart = true;
      ftp.restartOffset = have;
    }
  }
  ftp.offset = ftp.restartOffset;
  int code = SendFtpCommand(line, kind);
  if (code == LINK_LOST) return failTransfer(kind, LINK_LOST);
  if (code >= 400) return failTransfer(kind, -1);
  if (!passive && !acceptData()) {
    ftpHooks.message(FTP_TEXT_DATA_FAILED, "Error");
    // The command's final reply ("425") is still due; left unread, every
    // later command would show the reply of the one before. A server that
    // says nothing is sent the abort.
    code = ReadFtpReplyWithin(kind, FTP_ABORT_REPLY_MS);
    if (code == -1) code = abortListing();
    return failTransfer(kind, code == LINK_LOST ? LINK_LOST : -1);
  }
  if (transfer) {
    ftp.transferRunning = true;
    ftp.dialogRuns = ftpHooks.transferOpen(kind, kind == KIND_GET ? ftp.localName.c_str() : ftp.localPath.c_str());
    return 0;
  }
  bool aborted = false;
  int abortCode = receiveListing(kind, &aborted);
  closeSocket(&ftp.dataSocket);
  if (abortCode == LINK_LOST) return LINK_LOST;
  if (abortCode > 199) return abortCode;
  return aborted ? ReadFtpReplyWithin(KIND_OTHER, FTP_ABORT_REPLY_MS) : ReadFtpReply(kind);
}
