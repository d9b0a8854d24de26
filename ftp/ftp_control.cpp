// The control connection: its receive buffer, sending, reply reading, the
// login and the remote system's type.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "ftp/ftp_session.h"
#include "ftp/ftp_wait.h"
#include "ftp/system_type.h"
#include "shell/bounded_copy.h"
#include "shell/pump.h"
#include "shell/settings.h"
#include "shell/net_address.h"
#include "terminal/link.h"

FtpSession ftp;
FtpHooks ftpHooks;

namespace {
void noWrite(const char*, int) {}
void noText(const char*) {}
bool no() { return false; }
void noListingStart(int) {}
void noBytes(const uint8_t*, int) {}
void nothing() {}
bool noOpen(int, const char*) { return false; }
void noProgress(const FtpProgress&) {}
void noBlock(int64_t) {}
void noMessage(const char*, const char*) {}
bool noAsk(char*, int) { return false; }
bool noAskPassword(char*, int, bool*) { return false; }
void noSave(const char*, const char*, bool) {}
}  // namespace

void ftpResetHooks() {
  ftpHooks = FtpHooks{noWrite, noText, noText, noText, no, noListingStart, noBytes, nothing, nothing, noOpen, noText,
                      noText, noProgress, noText, noBlock, nothing, noMessage, nothing, noAsk, noAskPassword,
                      noAsk, nothing, nothing, noSave, noText};
}

void ftpSessionReset() {
  ftpSockClose(ftp.dataSocket);
  ftpSockClose(ftp.listenSocket);
  ftpSockClose(ftp.control);
  ftp = FtpSession();
}

static void session(const char* text) { ftpHooks.writeSession(text, static_cast<int>(std::strlen(text))); }

int ftpConnect(const char* host, int port, int timeoutMs) {
  ftpSockStartup();
  // A dotted address is read as decimal on every platform: the system
  // converters take a leading 0 as octal and would reach another host.
  uint8_t parts[4];
  uint32_t ip = 0;
  if (netDottedDecimalBytes(host, parts)) std::memcpy(&ip, parts, 4);
  else ip = ftpSockResolve(host);
  if (ip == 0) {
    ftpHooks.message(NET_TEXT_HOST_ERROR, "error");
    return -1;
  }
  FtpSocket s = FTP_NO_SOCKET;
  int r = ftpSockConnect(ip, port > 0 ? port : ftpSockServicePort("ftp", 21), &s);
  volatile bool expired = false;
  timerStart(FTP_TIMER_CONNECT, static_cast<uint32_t>(timeoutMs), &expired);
  while (r == 0) {
    r = ftpSockConnectState(s);
    if (r != 0) break;
    if (expired || ftpIdle(s, true) < 0) {
      r = -1;
      break;
    }
  }
  timerKill(FTP_TIMER_CONNECT);
  if (r < 0) {
    ftpSockClose(s);
    char text[96];
    netConnectFailureText(-r, text, sizeof text);
    ftpHooks.message(r == -1 ? NET_TEXT_CONNECT_FAILED : text, "error");
    return -1;
  }
  // Connection established: a receive buffer of the socket's size, writable.
  ftp.control = s;
  int size = ftpSockReceiveBufferSize(s);
  if (size < 1) size = 4096;
  if (size > (1 << 20)) size = 1 << 20;
  ftp.recvBuffer.assign(static_cast<size_t>(size), 0);
  ftp.recvFill = ftp.recvPos = 0;
  ftp.previousByte = -1;
  ftp.canSend = true;
  ftp.connected = true;
  ftp.viaFirewall = false;
  ftp.cancelRequest = false;
  return 0;
}

void ftpDisconnect() {
  ftpSockClose(ftp.dataSocket);
  ftpSockClose(ftp.listenSocket);
  ftpSockClose(ftp.control);
  ftp.dataSocket = ftp.listenSocket = ftp.control = FTP_NO_SOCKET;
  bool was = ftp.connected;
  ftp.connected = false;
  ftp.busy = false;
  ftp.transferRunning = false;
  ftp.listingRunning = false;
  ftp.canSend = false;
  ftp.lost = false;
  if (was) ftpHooks.disconnected();
}

void ftpDisconnectCommand() {
  if (ftp.busy || !ftp.connected) {
    ftpDisconnect();
    return;
  }
  session("quit\r\n");
  ftp.busy = true;
  if (SendFtpCommand("QUIT\r\n", KIND_LS) == LINK_LOST || ftp.lost) ftpDisconnect();
  ftp.busy = false;
}

int ReceiveControlBytes(uint8_t* dst, int count) {
  if (ftp.control == FTP_NO_SOCKET || ftp.recvBuffer.empty()) return LINK_LOST;
  int copied = 0;
  while (copied < count) {
    if (ftp.recvPos >= ftp.recvFill) {
      if (copied > 0) break;
      int n = ftpSockRecv(ftp.control, ftp.recvBuffer.data(), static_cast<int>(ftp.recvBuffer.size()));
      if (n == FTP_SOCK_WOULDBLOCK) return 0;
      if (n <= 0) {
        ftp.lost = true;
        return LINK_LOST;
      }
      ftp.recvFill = n;
      ftp.recvPos = 0;
    }
    int b = ftp.recvBuffer[static_cast<size_t>(ftp.recvPos++)];
    // During a transfer the server may escape 0xFF as on a Telnet line.
    if (ftp.transferRunning && b == 0xFF && ftp.previousByte == 0xFF) {
      ftp.previousByte = -1;
      continue;
    }
    ftp.previousByte = b;
    dst[copied++] = static_cast<uint8_t>(b);
  }
  return copied;
}

int SendControlBytes(const uint8_t* data, int length, bool urgent) {
  int done = 0;
  while (done < length) {
    if (ftp.control == FTP_NO_SOCKET) return LINK_LOST;
    if (!ftp.canSend) {
      ftp.canSend = ftpSockWait(ftp.control, true, 2);
      if (ftpPumpDue() < 0) return LINK_LOST;
      continue;
    }
    int n = ftpSockSend(ftp.control, data + done, length - done, urgent);
    if (n >= 0) {
      done += n;
    } else if (n == FTP_SOCK_HARD) {
      ftp.lost = true;
      return LINK_LOST;
    }
    else ftp.canSend = false;
  }
  return 0;
}

void ftpCancelWait() { ftp.cancelRequest = true; }

bool ftpWaitAbandoned(bool abortCounts) {
  // Ctrl-C of a listing ends a wait for a reply as Cancel does.
  const bool cancel = ftp.cancelRequest || (abortCounts && ftp.listingRunning && ftp.abortRequest);
  if (!cancel && clockTicks() - ftp.idleSince < FTP_IDLE_MS) return false;
  ftp.cancelRequest = false;
  ftp.lost = true;
  return true;
}

// Reads one reply; timer, when given, ends the wait with -1 once it is set.
static int readReply(int kind, volatile bool* timer) {
  char line[FTP_REPLY_LINE_MAX + 2];
  int length = 0;
  bool crKept = false;  // the line's last kept byte is a CR
  ftp.idleSince = clockTicks();
  // A Ctrl-C typed before this wait began is the listing's, for its data.
  const bool abortCounts = !ftp.abortRequest;
  for (;;) {
    uint8_t b;
    int n = ReceiveControlBytes(&b, 1);
    if (n == LINK_LOST) return LINK_LOST;
    if (n == 0) {
      if (timer && *timer) return -1;
      // A server that stops answering, or the user's cancel, must not hold
      // the program: the reply can no longer be told from the next one.
      if (ftpWaitAbandoned(abortCounts)) return LINK_LOST;
      if (ftpIdle(ftp.control, false) < 0) return LINK_LOST;
      continue;
    }
    ftp.idleSince = clockTicks();
    if (b != '\n') {
      // A long line keeps its beginning; the rest up to its end is dropped.
      if (length < FTP_REPLY_LINE_MAX) {
        line[length++] = static_cast<char>(b);
        crKept = b == '\r';
      }
      continue;
    }
    // CR LF ends a line; so does a bare LF, which some servers send.
    if (crKept) --length;
    crKept = false;
    const int text = length;
    line[length] = '\r';
    line[length + 1] = '\n';
    ftpHooks.writeSession(line, length + 2);
    length = 0;
    bool final = text > 3 && line[3] == ' ' && std::isdigit(static_cast<unsigned char>(line[0])) &&
                 std::isdigit(static_cast<unsigned char>(line[1])) && std::isdigit(static_cast<unsigned char>(line[2]));
    if (!final) continue;
    int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    copyBounded(ftp.lastReplyText, sizeof ftp.lastReplyText, std::string(line + 4, static_cast<size_t>(text - 4)).c_str());
    if (kind == KIND_SYSTEM) {
      ftp.systemType = systemTypeFromReply(code > 399 ? "Unknown" : ftp.lastReplyText);
    } else if (kind == KIND_BINARY) {
      ftp.binary = true;
    } else if (kind == KIND_ASCII) {
      ftp.binary = false;
    }
    return code;
  }
}

int ReadFtpReply(int kind) { return readReply(kind, nullptr); }

int ReadFtpReplyWithin(int kind, uint32_t ms) {
  volatile bool expired = false;
  timerStart(FTP_TIMER_ABORT_REPLY, ms, &expired);
  int code = readReply(kind, &expired);
  timerKill(FTP_TIMER_ABORT_REPLY);
  return code;
}

void ftpUpdateRemotePath(const char* argument) {
  std::string arg = argument;
  std::string path = ftp.remotePath;
  if (arg.find('/') != std::string::npos) {
    path = arg;
  } else if (arg == "..") {
    size_t slash = path.rfind('/');
    if (slash == 0 || slash == std::string::npos) path = "/";
    else path = path.substr(0, slash);
  } else {
    path = path == "/" ? path + arg : path + "/" + arg;
  }
  copyBounded(ftp.remotePath, sizeof ftp.remotePath, path.c_str());
  ftpHooks.remotePathChanged(ftp.remotePath);
}

bool ftpCommandLineSafe(const char* line) {
  size_t length = std::strlen(line);
  if (length < 2 || line[length - 2] != '\r' || line[length - 1] != '\n') return false;
  return std::strcspn(line, "\r\n") == length - 2;
}

int SendFtpCommand(const char* line, int kind) {
  // A name holding CR or LF would smuggle a second command to the server; one
  // cut by a NUL has lost its CR LF.
  if (!ftpCommandLineSafe(line)) {
    session(FTP_TEXT_BAD_COMMAND);
    return -1;
  }
  size_t length = std::strlen(line);
  if (kind == KIND_PASS) session("PASS ****\r\n");
  else ftpHooks.writeSession(line, static_cast<int>(length));
  int r = SendControlBytes(reinterpret_cast<const uint8_t*>(line), static_cast<int>(length));
  if (r < 0) return LINK_LOST;
  int code;
  // Extra greeting lines sent after the connection opened are absorbed here.
  do code = ReadFtpReply(kind);
  while (code == 220);
  if (code == LINK_LOST) return LINK_LOST;
  if (kind == KIND_CD && code >= 200 && code < 300 && systemUsesSlashPaths(ftp.systemType) && length > 4) {
    std::string arg(line + 4, length - 4);
    while (!arg.empty() && (arg.back() == '\r' || arg.back() == '\n')) arg.pop_back();
    ftpUpdateRemotePath(arg.c_str());
  }
  if (kind == KIND_PASS && code > 300) return LINK_LOST;
  return code;
}

void QueryRemoteSystem() {
  if (!ftp.connected) return;
  if (ftp.fixedSystemType >= SYSTEM_UNIX && ftp.fixedSystemType <= SYSTEM_MVS) {
    ftp.systemType = ftp.fixedSystemType;
  } else {
    bool wasBusy = ftp.busy;
    ftp.busy = true;
    int code = SendFtpCommand("SYST\r\n", KIND_SYSTEM);
    ftp.busy = wasBusy;
    if (code == LINK_LOST) return;
  }
  char text[64];
  std::snprintf(text, sizeof text, "Remote System: %s", systemTypeName(ftp.systemType));
  ftpHooks.statusBar(text);
  ftpHooks.refreshRemote();
}

int FtpLogin(const FtpLoginInfo& info) {
  ftp.fixedSystemType = info.fixedSystemType;
  if (ftpHooks.windowOpen() && systemUsesSlashPaths(ftp.systemType)) {
    copyBounded(ftp.remotePath, sizeof ftp.remotePath, "/");
    ftpHooks.remotePathChanged(ftp.remotePath);
  }
  std::string user = info.user, password = info.password;
  if (info.anonymous) {
    char email[256];
    regReadString("email", FTP_DEFAULT_EMAIL, email, sizeof email);
    user = "anonymous";
    password = email;
  } else {
    char text[256];
    bool save = false, asked = false;
    if (user.empty()) {
      if (!ftpHooks.askUser(text, 80)) {
        ftpDisconnect();
        return LINK_LOST;
      }
      user = text;
      asked = true;
    }
    if (password.empty()) {
      if (!ftpHooks.askPassword(text, 256, &save)) {
        ftpDisconnect();
        return LINK_LOST;
      }
      password = text;
      asked = true;
    }
    if (asked) ftpHooks.saveEntry(user.c_str(), password.c_str(), save);
  }
  ftp.busy = true;
  ftp.cancelRequest = false;
  int result = 0;
  if (!user.empty()) {
    ftpHooks.status("Sending username");
    if (SendFtpCommand(("USER " + user + "\r\n").c_str(), KIND_USER) == LINK_LOST) result = LINK_LOST;
  }
  if (result == 0 && !password.empty() && ftp.connected) {
    ftpHooks.status("Sending password");
    if (SendFtpCommand(("PASS " + password + "\r\n").c_str(), KIND_PASS) == LINK_LOST) result = LINK_LOST;
  }
  // A refused login must not leave the busy state behind, or every typed key
  // would only beep until the user disconnects.
  ftp.busy = false;
  if (result < 0) return result;
  session("ftp>");
  QueryRemoteSystem();
  return 0;
}
