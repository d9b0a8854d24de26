// session: a headless Telnet or Rlogin session. It connects as the terminal
// program does, takes the --send and --wait steps in order, keeps processing
// what the host sends until the steps are done or the time is up, and prints
// the screen as termplay does.
//
// session --host H --port P [--rlogin --user NAME] [--emulation N] [--rows N]
//         [--columns N] [--terminal-id ID] [--send TEXT]... [--wait TEXT]...
//         [--script FILE] [--timeout S] [--zmodem-dir DIR]
// session --check FILE
//
// --timeout S (10 by default) bounds the whole run: the connection, the script,
// a host that floods or stops reading. At the limit the screen is printed and
// the tool says why.
//
// With --zmodem-dir ZMODEM is the selected protocol: a host that starts a
// ZMODEM send delivers its files into DIR with no step asking for it.
//
// A script's $PASS is read as one line from standard input.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shell/message_box.h"
#include "shell/message_box_posix.h"
#include "shell/pump_posix.h"
#include "shell/script.h"
#include "shell/script_terminal.h"
#include "telnet/net_connection.h"
#include "telnet/netlink_posix.h"
#include "telnet/rlogin.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_terminal.h"
#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/screen_report.h"
#include "terminal/surface_posix.h"
#include "terminal/terminal_state.h"
#include "terminal/terminal_type.h"
#include "transfer/protocol_table.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_state.h"
#include "transfer/zmodem.h"

namespace {
using Clock = std::chrono::steady_clock;

struct Step {
  bool send;
  std::string text;
};

// --timeout bounds the whole run: the alarm sets this flag, which ends a
// write waiting for a host that stopped reading and a script's wait.
volatile bool timeUp = false;
void onAlarm(int) { timeUp = true; }
void startAlarm(int seconds) {
  struct sigaction action {};
  action.sa_handler = onAlarm;  // no SA_RESTART: a waiting poll returns at once
  sigaction(SIGALRM, &action, nullptr);
  netWriteAbort = &timeUp;
  alarm(static_cast<unsigned>(seconds));
}

std::string zmodemDir;

// The auto-start found a sender: receive in place of the dialog, then go back
// to the session. The result goes to stderr for whoever runs the tool.
bool zmodemReceiveHere() {
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = PROTOCOL_ZMODEM;
  std::snprintf(settings.downloadDir, sizeof settings.downloadDir, "%s", zmodemDir.c_str());
  TransferState& s = transferState();
  transferBegin(s, settings);
  netTransferRunning = true;  // the engine keeps its commands out of the file
  int r = receiveBegin();
  if (r >= 0) r = receiveRun();
  netTransferRunning = false;
  if (r != STEP_COMPLETE && s.endCode) r = s.endCode;
  std::fprintf(stderr, "session: zmodem receive %s\n", r == STEP_COMPLETE ? "complete" : transferErrorText(r));
  s.active = false;
  return true;
}

int usage(const std::string& why) {
  std::fprintf(stderr, "session: %s\n", why.c_str());
  std::fprintf(stderr,
               "usage: session --host H --port P [--rlogin --user NAME] [--emulation N] [--rows N] [--columns N]\n"
               "               [--terminal-id ID] [--send TEXT]... [--wait TEXT]... [--script FILE] [--timeout S]\n"
               "               [--zmodem-dir DIR]\n"
               "       session --check FILE\n");
  return 2;
}

bool number(const char* text, int low, int high, int* out) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (!*text || *end || v < low || v > high) return false;
  *out = static_cast<int>(v);
  return true;
}

// Caret notation: ^M is CR, ^^ a caret, ^ and a letter its control code.
std::string decodeCarets(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '^' || i + 1 >= text.size()) {
      out += c;
      continue;
    }
    char next = text[++i];
    if (next == '^') out += '^';
    else if (next >= '@' && next <= '_') out += static_cast<char>(next - 64);
    else if (next >= 'a' && next <= 'z') out += static_cast<char>(next - 96);
    else out += std::string("^") + next;
  }
  return out;
}


bool onCursorLine(const std::string& text) {
  const ScreenLine& line = lineAt(screen.row);
  std::string cells(reinterpret_cast<const char*>(line.cells), static_cast<size_t>(line.used));
  return cells.find(text) != std::string::npos;
}

// Processes what has arrived for up to ms. False once the host has gone.
bool pump(int ms) {
  if (!netWaitInput(ms)) return true;
  surfaceClearCalls();
  return receiveAvailable() != LINK_LOST;
}

// Message boxes (the script engine's, the connection's) as the lines the tool prints.
void printMessages(FILE* out) {
  for (const ShownMessage& m : messagesShown()) std::fprintf(out, "session: %s\n", m.text.c_str());
  messagesClear();
}

int checkScript(const char* path) {
  int result = scriptCheck(path, true);
  printMessages(result == 0 ? stdout : stderr);
  return result == 0 ? 0 : 1;
}

int scriptRound() {
  if (timeUp) return LINK_LOST;  // the script ends as if the host had gone
  if (!netWaitInput(0)) return 0;
  surfaceClearCalls();
  return receiveAvailable();
}

bool readPassword(std::string* password) {
  char line[256];
  if (!std::fgets(line, sizeof line, stdin)) return false;
  line[std::strcspn(line, "\r\n")] = '\0';
  *password = line;
  return !password->empty();
}

int runScript(const std::string& path, const std::string& host, int port) {
  scriptAttachTerminal();
  ScriptEnv env;
  env.processIncoming = scriptRound;
  env.sendChar = scriptSendChar;
  env.askPassword = readPassword;
  env.site = host;
  env.port = port;
  int result = scriptExecute(path.c_str(), env);
  printMessages(stderr);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  std::string host, user, terminalId;
  int port = -1, emulation = 4, rows = 24, columns = 80, timeout = 10;
  bool rloginSession = false;
  std::vector<Step> steps;
  std::string script;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    auto needs = [&]() {
      if (!value) return false;
      ++i;
      return true;
    };
    if (a == "--rlogin") {
      rloginSession = true;
    } else if (a == "--host") {
      if (!needs()) return usage("--host takes a host name or address");
      host = value;
    } else if (a == "--port") {
      if (!needs() || !number(value, 0, 65535, &port)) return usage("--port takes 0 to 65535");
    } else if (a == "--user") {
      if (!needs()) return usage("--user takes a name");
      user = value;
    } else if (a == "--emulation") {
      if (!needs() || !number(value, 1, 10, &emulation)) return usage("--emulation takes 1 to 10");
    } else if (a == "--rows") {
      if (!needs() || !number(value, 1, MAX_ROWS, &rows)) return usage("--rows takes 1 to " + std::to_string(MAX_ROWS));
    } else if (a == "--columns") {
      if (!needs() || !number(value, 1, 255, &columns)) return usage("--columns takes 1 to 255");
    } else if (a == "--terminal-id") {
      if (!needs()) return usage("--terminal-id takes a name");
      terminalId = value;
    } else if (a == "--send" || a == "--wait") {
      if (!needs()) return usage(a + " takes a text");
      steps.push_back({a == "--send", decodeCarets(value)});
    } else if (a == "--timeout") {
      if (!needs() || !number(value, 1, 3600, &timeout)) return usage("--timeout takes 1 to 3600 seconds");
    } else if (a == "--script") {
      if (!needs()) return usage("--script takes a file");
      script = value;
    } else if (a == "--zmodem-dir") {
      if (!needs()) return usage("--zmodem-dir takes a folder");
      zmodemDir = value;
    } else if (a == "--check") {
      if (!needs()) return usage("--check takes a file");
      return checkScript(value);
    } else {
      return usage("unknown argument " + a);
    }
  }
  if (host.empty()) return usage("--host is required");
  if (port < 0) return usage("--port is required");
  if (rloginSession && user.empty()) return usage("Must enter username to login");

  // Every wait of the session (a script's, a transfer's time-outs) is on the
  // wall clock; the host build's default is the tests' manual one.
  clockUseRealTime();
  if (terminalReset(rows, columns, 1000) < 0) {
    std::fprintf(stderr, "session: not enough memory for the screen buffer\n");
    return 1;
  }
  terminalOptions.emulation = emulation;
  emulatorConnectionStart();
  if (!zmodemDir.empty()) {
    terminalOptions.zmodemAutoStart = true;
    zmodemAutoStartInstall();
    terminalHooks.zmodemOpenReceive = zmodemReceiveHere;
  }
  if (terminalId.empty()) terminalId = terminalType(emulation).terminalId;

  telnetSession = {};
  telnetSession.rlogin = rloginSession;
  std::snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "%s", terminalId.c_str());
  rloginSetNames("", user.c_str());

  NetRequest request{};
  std::snprintf(request.address, sizeof request.address, "%s", host.c_str());
  request.port = port;
  request.rlogin = rloginSession;
  startAlarm(timeout);
  const auto end = Clock::now() + std::chrono::seconds(timeout);
  if (netConnectPosix(request, timeout * 1000) < 0) {
    printMessages(stderr);  // the connection's message is the line the tool fails with
    return 1;
  }
  telnetAttachTerminal();
  telnetOnConnected();

  int scriptResult = 0;
  if (!script.empty()) scriptResult = runScript(script, host, port);
  bool open = scriptResult >= 0 || linkConnected();
  size_t next = 0;
  while (open && next < steps.size() && !timeUp && Clock::now() < end) {
    const Step& step = steps[next];
    if (step.send) {
      sendBytes(reinterpret_cast<const uint8_t*>(step.text.data()), static_cast<int>(step.text.size()));
      ++next;
    } else if (onCursorLine(step.text)) {
      ++next;
    } else {
      open = pump(20);
    }
  }
  const bool cut = timeUp || Clock::now() >= end;
  if (next < steps.size())
    std::fprintf(stderr, "session: %s\n", open ? "time is up before the steps were done" : "the host closed the connection");
  else if (cut && !script.empty() && scriptResult < 0)
    std::fprintf(stderr, "session: time is up before the script was done\n");
  // What the last step brought in is shown: process until the line is quiet.
  for (auto quiet = Clock::now() + std::chrono::milliseconds(300);
       open && !timeUp && Clock::now() < quiet && Clock::now() < end;) {
    if (netWaitInput(20)) {
      open = pump(0);
      quiet = Clock::now() + std::chrono::milliseconds(300);
    }
  }
  alarm(0);
  netDisconnectPosix();
  printScreenReport(stdout, netSentBytes());
  return scriptResult < 0 || (cut && next < steps.size()) ? 1 : 0;
}
