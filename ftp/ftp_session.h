// The FTP client's engine: the control connection, login and command mode,
// the data connections and the transfers. It is driven from the window (or a
// headless tool) and reports upward through one table of hooks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ftp/ftp_socket.h"
#include "ftp/local_file.h"

// Command kinds: the index of the command table, passed with every send.
enum FtpKind {
  KIND_LS = 0, KIND_GET, KIND_PUT, KIND_DIR, KIND_STATUS, KIND_SYSTEM, KIND_PWD, KIND_CD, KIND_USER,
  KIND_DELETE, KIND_RENAME, KIND_RMDIR, KIND_MKDIR, KIND_QUIT, KIND_CDUP, KIND_BINARY, KIND_ASCII,
  KIND_PASS, KIND_REMOTEHELP, KIND_REST, KIND_RPUT, KIND_LCD,
  KIND_OTHER = 22,     // PASV, or a line sent as typed
  KIND_RESTORE = -1,   // the TYPE A N after a transfer
};

constexpr int FTP_REPLY_TEXT_MAX = 250;  // last reply text kept
constexpr int FTP_REPLY_LINE_MAX = 1023; // bytes of a reply line kept; the rest is dropped
constexpr int FTP_PATH_MAX = 255;
constexpr int FTP_TYPED_MAX = 511;       // characters of a typed command line
constexpr int FTP_BLOCK = 1024;          // the unit of progress and of the viewer feed

// Timer ids of the engine's time limits.
constexpr int FTP_TIMER_ACCEPT = 20;
constexpr int FTP_TIMER_DRAIN = 21;
constexpr int FTP_TIMER_ABORT_REPLY = 22;
constexpr int FTP_TIMER_CONNECT = 23;
constexpr uint32_t FTP_ACCEPT_MS = 60000;
constexpr uint32_t FTP_DRAIN_MS = 30000;
constexpr uint32_t FTP_ABORT_REPLY_MS = 5000;
constexpr uint32_t FTP_CONNECT_MS = 30000;
// A server that sends no byte for this long while we wait is taken as gone.
constexpr uint32_t FTP_IDLE_MS = 120000;

// Texts of the engine.
constexpr const char* FTP_TEXT_LISTEN_FAILED = "Failed to create listen socket";
constexpr const char* FTP_TEXT_DATA_FAILED = "Failed to create data socket";
constexpr const char* FTP_TEXT_DONE = "Done";
constexpr const char* FTP_TEXT_TERMINATED = "Transfer terminated";
constexpr const char* FTP_TEXT_ABORT_SENT = "Abort request sent";
constexpr const char* FTP_TEXT_BAD_LOCAL_NAME = "Refused local file name: ";
constexpr const char* FTP_TEXT_BAD_COMMAND = "Refused command line holding CR, LF or NUL\r\n";
constexpr const char* FTP_DEFAULT_EMAIL = "guest@example.com";

// What the transfer dialog shows after every block.
struct FtpProgress {
  int64_t offset;
  int64_t size;          // 0: unknown
  uint32_t elapsedMs;
  long rate;             // bytes per second, 0 within the first second
  uint32_t remainingMs;
  int percent;           // -1: unknown ("?")
  bool sending;
};

// Upward hooks; ftpResetHooks fills every slot with one that does nothing.
struct FtpHooks {
  void (*writeSession)(const char* bytes, int length);
  // "Sending username" and the like: the open dialog's status, else a session line.
  void (*status)(const char* text);
  void (*remotePathChanged)(const char* path);
  void (*statusBar)(const char* text);  // "Remote System: Unix"
  bool (*windowOpen)();               // the FTP window shows the remote view
  void (*listingStart)(int systemType);
  void (*listingBytes)(const uint8_t* bytes, int length);
  void (*listingDone)();              // a complete LIST: build the remote view
  void (*refreshRemote)();            // list the current remote directory
  // The transfer dialog appears and runs the transfer on its timer; false
  // where there is no dialog: the engine then runs it at once.
  bool (*transferOpen)(int kind, const char* fileName);
  void (*transferSize)(const char* text);                // "1234 " or "Unknown"
  void (*transferStatus)(const char* text);              // "Done", "Transfer terminated", ...
  void (*progress)(const FtpProgress& progress);
  void (*feedStart)(const char* path);  // a JPEG download for the live viewer
  void (*feedBlock)(int64_t length);    // bytes of the file so far, per block
  void (*feedEnd)();
  void (*message)(const char* text, const char* title);
  void (*beep)();
  bool (*askUser)(char* name, int size);      // false: cancelled
  bool (*askPassword)(char* password, int size, bool* save);
  bool (*askOpenFile)(char* path, int size);
  void (*disconnected)();
  void (*nextDownload)();  // a file of several is done: the window starts the next
  // The login asked for a name or password: the entry keeps them (and its
  // file is saved, with the password only when savePassword).
  void (*saveEntry)(const char* user, const char* password, bool savePassword);
  void (*openFile)(const char* path);  // open-after-download: the shell's "open"
};
extern FtpHooks ftpHooks;
void ftpResetHooks();

// Who logs in (from the connection entry).
struct FtpLoginInfo {
  std::string user;
  std::string password;
  bool anonymous = false;
  int fixedSystemType = 0;  // 1 to 7 fixes it; 0 asks the server
};

struct FtpSession {
  // Control connection.
  FtpSocket control = FTP_NO_SOCKET;
  std::vector<uint8_t> recvBuffer;
  int recvFill = 0, recvPos = 0;
  int previousByte = -1;
  bool canSend = false;
  bool connected = false;
  bool busy = false;
  bool transferRunning = false;
  char lastReplyText[FTP_REPLY_TEXT_MAX + 1] = {};
  int systemType = 0;
  int fixedSystemType = 0;
  char remotePath[FTP_PATH_MAX + 1] = "/";
  bool binary = false;
  // Settings that act on data commands.
  bool passive = false;
  bool recover = false;
  bool hideListing = false;
  bool realtimeJpeg = false;
  bool openAfterDownload = false;
  std::string localDir = ".";
  // Command mode.
  std::string typed;
  bool listingRunning = false;
  // Data connections and the current transfer.
  FtpSocket listenSocket = FTP_NO_SOCKET;
  FtpSocket dataSocket = FTP_NO_SOCKET;
  volatile bool abortRequest = false;
  volatile bool transferAbort = false;
  bool restart = false;
  int64_t restartOffset = 0;
  int64_t offset = 0;
  int64_t announcedSize = 0;
  uint32_t startTick = 0;
  int transferKind = 0;
  std::string remoteName;
  std::string localName;   // the name a download is written to
  std::string localPath;
  std::vector<std::string> uploadList;  // batch upload: local paths still to send
  bool batch = false;
  bool transferFailed = false;
  bool lost = false;  // the control connection broke; the disconnect clean-up is due
  bool dialogRuns = false;  // the transfer dialog took the current transfer
  // Waits for the server: the tick of the last byte, and the user's cancel.
  uint32_t idleSince = 0;
  volatile bool cancelRequest = false;
  // The control connection goes through the firewall host: data connections
  // then use the addresses the server names.
  bool viaFirewall = false;
};
extern FtpSession ftp;

// A fresh session (tests start from it).
void ftpSessionReset();

// Connects the control connection (synchronously, within timeoutMs) and runs
// the connection-established step. 0, or -1 after a message.
int ftpConnect(const char* host, int port, int timeoutMs);
void ftpDisconnect();
// The menu's Disconnect: at once while busy, else "QUIT" and the server closes.
void ftpDisconnectCommand();

// Control connection.
int ReceiveControlBytes(uint8_t* dst, int count);
int SendControlBytes(const uint8_t* data, int length, bool urgent = false);
int ReadFtpReply(int kind);
// As ReadFtpReply, but -1 when no whole reply arrives within ms.
int ReadFtpReplyWithin(int kind, uint32_t ms);
int SendFtpCommand(const char* line, int kind);
// A command line ends in CR LF and holds no other CR, LF or NUL.
bool ftpCommandLineSafe(const char* line);
// Cancel (the open or transfer dialog): the wait for a reply or for data that
// runs ends the command as a lost connection.
void ftpCancelWait();
// A wait loop that got nothing this turn: true (the connection taken as lost)
// after FTP_IDLE_MS since ftp.idleSince, or on cancel (abortCounts: or on a
// listing's Ctrl-C).
bool ftpWaitAbandoned(bool abortCounts = false);
int FtpLogin(const FtpLoginInfo& info);
void QueryRemoteSystem();
// Applies a successful CWD's argument to the remote path (types 1 to 4).
void ftpUpdateRemotePath(const char* argument);

// Command mode.
void ExecuteCommandLine(const char* line);
// One typed character, as the main window delivers it.
void ftpTypedChar(uint8_t ch);
// The local name of a download from a remote name: the part after the last
// "/", "\" or ":" through the received-name rule; empty when it is refused.
std::string ftpLocalNameOf(const std::string& remote);

// Data connections.
int RunDataCommand(const char* line, int kind);
int SendAbortSequence();
// PASV reply text to address (network order) and port; false when malformed.
bool ftpParsePasv(const char* text, uint32_t* ipv4, int* port);
// The size a RETR reply announces ("(1234 bytes)"); 0 when none. *shown gets
// the text for the size field.
int64_t ftpAnnouncedSize(const char* text, std::string* shown);

// The transfer dialog's work (on its timer message), and its end by the
// button: TYPE A N. Both return 0, -1 or LINK_LOST.
int ftpDownloadRun();
int ftpUploadRun();
int ftpTransferFinish();
// The dialog's Cancel while a transfer runs.
void ftpCancelTransfer();
// Fills the progress figures for the current file.
FtpProgress ftpProgressNow(bool sending);
