// Running a script: each command in turn, waiting through the pump and clock.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "shell/message_box.h"
#include "shell/pump.h"
#include "shell/script.h"

ScriptRun scriptState;

int scriptNothingIncoming() { return 0; }
void scriptSendNothing(uint8_t, bool) {}
bool scriptNoPassword(std::string*) { return false; }
void scriptNoStatus(const char*) {}

namespace {
void status(const ScriptEnv& env, const char* text) {
  env.setStatus(text);
}

// One round of incoming data; false when the link is down.
bool incoming(const ScriptEnv& env) {
  return env.processIncoming() >= 0;
}

// Waits for a match of the pattern; 0 on a match, -1 on timeout, cancel or a
// lost link.
int waitForPattern(const ScriptEnv& env, const std::string& text) {
  size_t n = text.size() < SCRIPT_LINE_MAX ? text.size() : SCRIPT_LINE_MAX;
  for (size_t i = 0; i < n; ++i) scriptState.pattern[i] = static_cast<char>(toupper(static_cast<unsigned char>(text[i])));
  scriptState.pattern[n] = '\0';
  scriptState.waiting = true;
  volatile bool expired = false;
  timerStart(SCRIPT_TIMER_WAIT, static_cast<uint32_t>(scriptState.timeoutSeconds) * 1000u, &expired);
  int result = 0;
  while (scriptState.waiting) {
    if (!incoming(env)) {
      result = -1;
      break;
    }
    if (!scriptState.waiting) break;
    if (!scriptState.running) {
      result = -1;
      break;
    }
    if (expired) {
      messageBeep();
      messageBox(TEXT_NO_MATCH, nullptr, MSG_ICONEXCLAMATION);
      result = -1;
      break;
    }
    if (pumpOne() < 0) {
      result = -1;
      break;
    }
  }
  timerKill(SCRIPT_TIMER_WAIT);
  scriptState.waiting = false;
  return result;
}

// Pauses before a character while incoming data is processed; false when the
// run was cancelled or the link went down.
bool pauseBeforeCharacter(const ScriptEnv& env) {
  volatile bool elapsed = false;
  timerStart(SCRIPT_TIMER_PAUSE, env.pauseMs, &elapsed);
  bool ok = true;
  while (!elapsed) {
    if (!incoming(env) || !scriptState.running || pumpOne() < 0) {
      ok = false;
      break;
    }
  }
  timerKill(SCRIPT_TIMER_PAUSE);
  return ok && scriptState.running;
}

int sendText(const ScriptEnv& env, const std::string& text) {
  std::string password;
  if (env.variables && text.find("$PASS") != std::string::npos) {
    if (!env.askPassword(&password)) return -1;
  }
  size_t secretBegin = 0, secretEnd = 0;
  std::string out = text;
  if (env.variables) {
    int port = env.port != 0 ? env.port : env.defaultPort;
    out = scriptSubstitute(text, password, env.site, port, &secretBegin, &secretEnd);
  }
  for (size_t i = 0; i < out.size(); ++i) {
    if (!pauseBeforeCharacter(env)) return -1;
    env.sendChar(static_cast<uint8_t>(out[i]), i >= secretBegin && i < secretEnd);
  }
  return 0;
}

int illegalLine() {
  char extra[48];
  snprintf(extra, sizeof extra, " %d in script file", scriptState.lineNumber);
  messageBox(TEXT_ILLEGAL_LINE, extra, MSG_ICONEXCLAMATION);
  return -1;
}

int missingQuote() {
  char extra[24];
  snprintf(extra, sizeof extra, " %d", scriptState.lineNumber);
  messageBeep();
  messageBox(TEXT_MISSING_QUOTE, extra, MSG_ICONEXCLAMATION);
  return -1;
}

// Runs one command line; 1 to go on, 0 when the run ends successfully, -1 on failure.
int runLine(const ScriptEnv& env, const char* line) {
  std::string text;
  switch (scriptKeyword(line)) {
    case KEY_NONE:
      return 1;
    case KEY_EXIT:
      scriptState.exitFound = true;
      return 0;
    case KEY_TIMEOUT: {
      int seconds;
      if (scriptTimeoutValue(line, &seconds) == 1) scriptState.timeoutSeconds = seconds;
      return 1;
    }
    case KEY_WAITSTRING:
      if (!scriptQuotedText(line, &text)) return missingQuote();
      return waitForPattern(env, text) == 0 ? 1 : -1;
    case KEY_SEND:
      if (!scriptQuotedText(line, &text)) return missingQuote();
      return sendText(env, text) == 0 ? 1 : -1;
    case KEY_UNKNOWN:
      break;
  }
  return illegalLine();
}
}  // namespace

int scriptExecute(const char* path, const ScriptEnv& env) {
  scriptState = ScriptRun{};
  scriptState.running = true;
  status(env, "Executing script");
  int result = 1;
  char line[SCRIPT_LINE_MAX + 1];
  while (result == 1) {
    if (!scriptState.running) {
      result = -1;
      break;
    }
    int n = scriptReadLine(path, &scriptState.fileOffset, line, sizeof line);
    if (n == -2) messageBox(TEXT_FILE_OPEN_ERROR, nullptr, MSG_ICONSTOP);
    if (n == -3) {
      char extra[24];
      snprintf(extra, sizeof extra, " %d", scriptState.lineNumber + 1);
      messageBox(TEXT_LINE_TOO_LONG, extra, MSG_ICONEXCLAMATION);
      result = -1;
      break;
    }
    if (n < 0) {
      if (!scriptState.exitFound) {
        messageBeep();
        messageBox(TEXT_NO_EXIT, nullptr, MSG_ICONEXCLAMATION);
      }
      result = 0;
      break;
    }
    ++scriptState.lineNumber;
    result = runLine(env, line);
  }
  if (result == 0 && scriptState.running) status(env, "Script complete");
  if (!scriptState.running) result = -1;
  scriptState.running = false;
  scriptState.waiting = false;
  return result;
}

void scriptCancel(const ScriptEnv& env) {
  if (!scriptState.running) return;
  scriptState.running = false;
  status(env, "Script cancelled");
}

void scriptLineMatch(const uint8_t* line, int length) {
  // An empty pattern is in every line: it matches at the next character placed.
  if (!scriptState.waiting || length <= 0) return;
  size_t plen = strlen(scriptState.pattern);
  if (static_cast<size_t>(length) < plen) return;
  for (size_t start = 0; start + plen <= static_cast<size_t>(length); ++start) {
    size_t i = 0;
    while (i < plen && toupper(line[start + i]) == static_cast<unsigned char>(scriptState.pattern[i])) ++i;
    if (i == plen) {
      timerKill(SCRIPT_TIMER_WAIT);
      scriptState.waiting = false;
      return;
    }
  }
}
