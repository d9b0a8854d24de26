// The ftp> command mode: typed characters, the command table and its routes.
#include <cstdio>
#include <cstring>
#include <string>

#include "ftp/ftp_session.h"
#include "ftp/system_type.h"
#include "terminal/link.h"
#include "transfer/received_name.h"

namespace {
struct CommandRow {
  const char* word;
  const char* command;  // sent to the server; null: local only
};
// Indexed by kind.
constexpr CommandRow kCommands[] = {
    {"ls", "NLST"},     {"get", "RETR"},    {"put", "STOR"},    {"dir", "LIST"},        {"status", "STAT"},
    {"system", "SYST"}, {"pwd", "PWD"},     {"cd", "CWD"},      {"user", "USER"},       {"delete", "DELE"},
    {"rename", "RNFR"}, {"rmdir", "RMD"},   {"mkdir", "MKD"},   {"quit", "QUIT"},       {"cdup", "CDUP"},
    {"binary", "TYPE I"}, {"ascii", "TYPE A N"}, {"pass", "PASS"}, {"remotehelp", "HELP"}, {"rest", "REST"},
    {"rput", "STOR"},   {"lcd", nullptr},
};
constexpr int kCommandCount = sizeof kCommands / sizeof kCommands[0];

void session(const std::string& text) { ftpHooks.writeSession(text.data(), static_cast<int>(text.size())); }

bool startsWith(const std::string& s, const char* word) { return s.compare(0, std::strlen(word), word) == 0; }

// Table order, except that "cdup" is tried before its prefix "cd".
int findCommand(const std::string& line) {
  if (startsWith(line, "cdup")) return KIND_CDUP;
  for (int k = 0; k < kCommandCount; ++k)
    if (startsWith(line, kCommands[k].word)) return k;
  return -1;
}

bool isSpace(char c) { return c == ' ' || c == '\t'; }
bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text after the last of the given characters.
std::string afterLast(const std::string& s, const char* chars) {
  size_t at = s.find_last_of(chars);
  return at == std::string::npos ? s : s.substr(at + 1);
}

void runCommand(const std::string& line, int kind) {
  if (kind <= KIND_DIR) {
    ftp.listingRunning = kind == KIND_LS || kind == KIND_DIR;
    int r = RunDataCommand(line.c_str(), kind);
    ftp.listingRunning = false;
    // Without a transfer dialog the work runs here at once.
    if (r == 0 && (kind == KIND_GET || kind == KIND_PUT) && !ftp.dialogRuns) {
      r = kind == KIND_GET ? ftpDownloadRun() : ftpUploadRun();
      if (r != LINK_LOST) ftpTransferFinish();
    }
  } else {
    SendFtpCommand(line.c_str(), kind);
  }
}

void download(const std::string& remote, const std::string& local) {
  // The remote system's directory part is not the local one; nor may a name
  // from the server climb out of the download directory.
  std::string name = local;
  if (systemUsesSlashPaths(ftp.systemType)) name = afterLast(name, "/");
  else if (ftp.systemType == SYSTEM_VMS) name = afterLast(name, "]");
  ftp.localName = ftpLocalNameOf(name);
  if (ftp.localName.empty()) {
    session(std::string(FTP_TEXT_BAD_LOCAL_NAME) + local + "\r\n");
    return;
  }
  runCommand("RETR " + remote + "\r\n", KIND_GET);
}

void upload(const std::string& localFile, const std::string& remote) {
  ftp.localPath = localFile;
  runCommand("STOR " + remote + "\r\n", KIND_PUT);
}

bool askLocalFile(std::string* path) {
  char chosen[512] = {};
  if (!ftpHooks.askOpenFile(chosen, sizeof chosen) || !chosen[0]) return false;
  *path = chosen;
  return true;
}

void localDirectory(const std::string& arg) {
  if (!arg.empty() && localChangeDir(arg.c_str()) != 0) {
    session("lcd Command failed\r\n");
    return;
  }
  char dir[512];
  if (localCurrentDir(dir, sizeof dir) != 0) dir[0] = '\0';
  char text[600];
  std::snprintf(text, sizeof text, "Current local dir is %s\r\n", dir);
  session(text);
}
}  // namespace

std::string ftpLocalNameOf(const std::string& remote) {
  // The transfer receivers' rule: no control bytes, no devices, no streams.
  std::string name;
  if (receivedNameRule(afterLast(remote, "/\\:"), &name) < 0) return std::string();
  return name;
}

void ExecuteCommandLine(const char* text) {
  std::string line = text;
  size_t lead = 0;
  while (lead < line.size() && static_cast<unsigned char>(line[lead]) < '!') ++lead;
  line.erase(0, lead);
  int kind = findCommand(line);
  if (kind < 0) {
    if (line.size() < 3) return;  // an empty line
    SendFtpCommand(line.c_str(), KIND_OTHER);
    return;
  }
  // The command word ends at the first blank or tab; the arguments follow.
  size_t wordEnd = 0;
  while (wordEnd < line.size() && !isSpace(line[wordEnd])) ++wordEnd;
  size_t argAt = wordEnd;
  while (argAt < line.size() && isSpace(line[argAt])) ++argAt;
  std::string args = line.substr(argAt);  // keeps its CR LF
  std::string words[2];
  size_t i = 0;
  for (int w = 0; w < 2; ++w) {
    while (i < args.size() && isSeparator(args[i])) ++i;
    size_t start = i;
    while (i < args.size() && !isSeparator(args[i])) ++i;
    words[w] = args.substr(start, i - start);
  }
  bool hasArgs = !words[0].empty();
  const char* command = kCommands[kind].command;

  if (!hasArgs) {
    if (kind == KIND_PUT || kind == KIND_RPUT) {
      std::string path;
      if (askLocalFile(&path)) upload(path, afterLast(path, ":\\/"));
    } else if (kind == KIND_LCD) {
      localDirectory("");
    } else {
      runCommand(std::string(command) + "\r\n", kind);
    }
    return;
  }
  switch (kind) {
    case KIND_GET:
      download(words[0], words[1].empty() ? words[0] : words[1]);
      return;
    case KIND_PUT:
    case KIND_RPUT:
      // rput is an upload like put; a resume of uploads is not offered.
      upload(words[0], words[1].empty() ? afterLast(words[0], ":\\/") : words[1]);
      return;
    case KIND_RENAME:
      if (!words[1].empty()) {
        if (SendFtpCommand(("RNFR " + words[0] + "\r\n").c_str(), KIND_RENAME) != LINK_LOST)
          SendFtpCommand(("RNTO " + words[1] + "\r\n").c_str(), KIND_RENAME);
        return;
      }
      break;
    case KIND_LCD:
      if (!words[1].empty()) session("illegal command\r\n");
      else localDirectory(words[0]);
      return;
    default:
      break;
  }
  runCommand(std::string(command) + " " + args, kind);
}

void ftpTypedChar(uint8_t ch) {
  if (!ftp.connected) return;
  if (ftp.busy) {
    if (ch == 0x03 && ftp.listingRunning) ftp.abortRequest = true;
    else if (!ftp.listingRunning) ftpHooks.beep();
    return;
  }
  if (ch == '\r') {
    ftp.typed += "\r\n";
    session("\r\n");
    ftp.busy = true;
    std::string line;
    line.swap(ftp.typed);
    ExecuteCommandLine(line.c_str());
    ftp.busy = false;
    if (ftp.connected) session("ftp>");
    return;
  }
  if (ch == '\b') {
    if (!ftp.typed.empty()) {
      ftp.typed.pop_back();
      session("\b \b");
    }
    return;
  }
  if (ftp.typed.size() >= FTP_TYPED_MAX) {
    ftpHooks.beep();
    return;
  }
  ftp.typed += static_cast<char>(ch);
  // A password typed after "pass" is shown and captured masked, as at login.
  size_t lead = ftp.typed.find_first_not_of(std::string("\0\t ", 3));
  bool secret = lead != std::string::npos && ftp.typed.compare(lead, 4, "pass") == 0 &&
                ftp.typed.size() > lead + 4 && ftp.typed.find_first_of(" \t", lead + 4) < ftp.typed.size() - 1;
  char echo = secret && ch != ' ' && ch != '\t' ? '*' : static_cast<char>(ch);
  session(std::string(1, echo));
}
