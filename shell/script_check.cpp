// The syntax check behind "Check Syntax": reads the lines as a run would,
// without waiting or sending.
#include <cstdio>

#include "shell/message_box.h"
#include "shell/script.h"

namespace {
int fail(int text, const char* format, int lineNumber, unsigned style) {
  char extra[48] = "";
  if (format) snprintf(extra, sizeof extra, format, lineNumber);
  messageBox(text, format ? extra : nullptr, style);
  return -1;
}
}  // namespace

int scriptCheck(const char* path, bool showResult) {
  long offset = 0;
  int lineNumber = 0;
  char line[SCRIPT_LINE_MAX + 1];
  std::string text;
  for (;;) {
    int n = scriptReadLine(path, &offset, line, sizeof line);
    if (n == -2) return fail(TEXT_FILE_OPEN_ERROR, nullptr, 0, MSG_ICONSTOP);
    if (n == -3) return fail(TEXT_LINE_TOO_LONG, " %d", lineNumber + 1, MSG_ICONEXCLAMATION);
    if (n < 0) {
      messageBeep();
      return fail(TEXT_NO_EXIT, nullptr, 0, MSG_ICONEXCLAMATION);
    }
    ++lineNumber;
    int seconds = 0;
    switch (scriptKeyword(line)) {
      case KEY_NONE:
        break;
      case KEY_EXIT:
        if (showResult) {
          messageBeep();
          messageBox(TEXT_CHECK_COMPLETE, nullptr, MSG_ICONINFORMATION);
        }
        return 0;
      case KEY_TIMEOUT:
        switch (scriptTimeoutValue(line, &seconds)) {
          case 0:
            return fail(TEXT_ILLEGAL_LINE, " %d in script file", lineNumber, MSG_ICONEXCLAMATION);
          case -1:
            seconds = -1;
            break;
        }
        if (seconds < 1 || seconds > 60) return fail(TEXT_INVALID_TIMEOUT, nullptr, 0, MSG_ICONEXCLAMATION);
        break;
      case KEY_WAITSTRING:
      case KEY_SEND:
        if (!scriptQuotedText(line, &text)) {
          messageBeep();
          return fail(TEXT_MISSING_QUOTE, " %d", lineNumber, MSG_ICONEXCLAMATION);
        }
        break;
      case KEY_UNKNOWN:
        return fail(TEXT_ILLEGAL_LINE, " %d in script file", lineNumber, MSG_ICONEXCLAMATION);
    }
  }
}
