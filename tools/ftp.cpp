// ftp: a headless FTP session. Logs in, then runs each further line of
// standard input as typed at the ftp> prompt, and prints the session view as
// the window shows it (commands, replies, the typed echo; passwords masked).
//
// ftp --host H [--port P] (--anonymous | --user U) [--passive] [--system N]
//     [--dir LOCALDIR] [--parse] [--recover]
// The password for --user is the first line of standard input. Exit status:
// 0 after quit or the end of input, 1 when the login fails, 2 when the
// connection is lost. --parse also prints every dir listing as the FTP
// window's entries after the session text; --recover resumes downloads into
// existing local files, as the "Recover" setting does.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "ftp/ftp_session.h"
#include "ftp/listing.h"
#include "shell/pump.h"
#include "shell/pump_posix.h"

static bool parse = false;
static ListingState listing;
static std::string parsed;

static void writeSession(const char* bytes, int length) { std::fwrite(bytes, 1, static_cast<size_t>(length), stdout); }
static void statusLine(const char* text) { std::printf("%s\r\n", text); }
static bool windowOpen() { return parse; }
static void listingStart(int system) { listingReset(listing, system); }
static void listingBytes(const uint8_t* bytes, int length) { AddListingBytes(listing, bytes, length); }
static void listingDone() {
  BuildRemoteView(listing);
  parsed += listingViewText(listing);
  if (listing.cut) parsed += std::string(LISTING_TEXT_CUT) + "\n";
}
static void message(const char* text, const char* title) { std::fprintf(stderr, "ftp: %s: %s\n", title, text); }

static int usage(const char* why) {
  std::fprintf(stderr, "ftp: %s\nusage: ftp --host H [--port P] (--anonymous | --user U) [--passive] [--system N] "
                       "[--dir LOCALDIR] [--parse] [--recover]\n", why);
  return 2;
}

static int finish(int status) {
  std::fflush(stdout);
  if (parse && !parsed.empty()) {
    std::fputs("\n", stdout);
    std::fwrite(parsed.data(), 1, parsed.size(), stdout);
  }
  ftpDisconnect();
  return status;
}

int main(int argc, char** argv) {
  std::string host, user, dir = ".";
  int port = 21, system = 0;
  bool anonymous = false, passive = false, recover = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool more = i + 1 < argc;
    if (a == "--host" && more) host = argv[++i];
    else if (a == "--port" && more) port = std::atoi(argv[++i]);
    else if (a == "--user" && more) user = argv[++i];
    else if (a == "--system" && more) system = std::atoi(argv[++i]);
    else if (a == "--dir" && more) dir = argv[++i];
    else if (a == "--anonymous") anonymous = true;
    else if (a == "--passive") passive = true;
    else if (a == "--recover") recover = true;
    else if (a == "--parse") parse = true;
    else return usage(("unknown option " + a).c_str());
  }
  if (host.empty() || anonymous == !user.empty()) return usage("--host and one of --anonymous or --user are required");
  if (port < 1 || port > 65535) return usage("--port takes 1 to 65535");

  clockUseRealTime();
  ftpResetHooks();
  ftpHooks.writeSession = writeSession;
  ftpHooks.status = statusLine;
  ftpHooks.windowOpen = windowOpen;
  ftpHooks.listingStart = listingStart;
  ftpHooks.listingBytes = listingBytes;
  ftpHooks.listingDone = listingDone;
  ftpHooks.message = message;

  FtpLoginInfo login;
  login.anonymous = anonymous;
  login.user = user;
  login.fixedSystemType = system;
  if (!anonymous && !std::getline(std::cin, login.password)) return usage("the password is read from standard input");
  if (!login.password.empty() && login.password.back() == '\r') login.password.pop_back();
  ftp.passive = passive;
  ftp.recover = recover;
  ftp.localDir = dir;

  if (ftpConnect(host.c_str(), port, 10000) != 0) return finish(2);
  if (FtpLogin(login) != 0) {
    if (ftp.lost || !ftp.connected) return finish(2);
    std::fprintf(stderr, "ftp: login failed\n");
    return finish(1);
  }
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (char c : line) ftpTypedChar(static_cast<uint8_t>(c));
    ftpTypedChar('\r');
    std::fflush(stdout);
    size_t lead = line.find_first_not_of(" \t");
    bool quit = lead != std::string::npos && line.compare(lead, 4, "quit") == 0;
    if (quit) return finish(0);
    if (ftp.lost) return finish(2);
  }
  return finish(0);
}
