// The login-script engine: WAITSTRING / SEND / TIMEOUT / EXIT scripts that
// automate a dialogue with the remote side. The engine waits through the pump
// and clock, reads and sends through the slots of ScriptEnv, and reports
// through the message box, so the same code runs in the programs and in tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr int SCRIPT_LINE_MAX = 255;      // characters stored of one line
constexpr long SCRIPT_LINE_READ_MAX = 32768;  // characters read of one line at most
constexpr int SCRIPT_TIMER_WAIT = 6;      // WAITSTRING timeout
constexpr int SCRIPT_TIMER_PAUSE = 18;    // pause before each sent character
constexpr int SCRIPT_DONE_MESSAGE = 1026; // posted to the main window: wParam 0 success, 1 failure

// String-table numbers of the engine's messages.
enum ScriptText {
  TEXT_FILE_OPEN_ERROR = 7101,
  TEXT_ILLEGAL_LINE = 7102,
  TEXT_MISSING_QUOTE = 7103,
  TEXT_NO_MATCH = 7104,
  TEXT_NO_EXIT = 7105,
  TEXT_INVALID_TIMEOUT = 7106,
  TEXT_CHECK_COMPLETE = 7107,
  TEXT_LINE_TOO_LONG = 7108,
};

enum ScriptKeyword { KEY_NONE, KEY_EXIT, KEY_TIMEOUT, KEY_WAITSTRING, KEY_SEND, KEY_UNKNOWN };

// What a run needs from the program around it.
// What a ScriptEnv does where its user fills no slot: nothing arrives,
// nothing is sent or shown, and a password is never given.
int scriptNothingIncoming();
void scriptSendNothing(uint8_t ch, bool secret);
bool scriptNoPassword(std::string* password);
void scriptNoStatus(const char* text);

// Every slot is filled, never null.
struct ScriptEnv {
  // Reads and displays what has arrived; negative (LINK_LOST) when the link is down.
  int (*processIncoming)() = scriptNothingIncoming;
  // Sends one character through the keyboard send path. A secret character
  // (from the password) is neither echoed nor captured.
  void (*sendChar)(uint8_t ch, bool secret) = scriptSendNothing;
  // Asks for the password; false when the user cancelled.
  bool (*askPassword)(std::string* password) = scriptNoPassword;
  // Shows a status text in the script dialog.
  void (*setStatus)(const char* text) = scriptNoStatus;
  bool variables = true;        // $PASS, $SITE, $PORT are substituted
  uint32_t pauseMs = 100;       // pause before each sent character
  std::string site;             // the session's host address
  int port = 0;                 // the session's port; 0 means defaultPort
  int defaultPort = 23;
};

// Run state; one per program.
struct ScriptRun {
  bool running = false;
  volatile bool waiting = false;
  char pattern[SCRIPT_LINE_MAX + 1] = {};
  int timeoutSeconds = 10;
  int lineNumber = 0;
  long fileOffset = 0;
  bool exitFound = false;
};
extern ScriptRun scriptState;

// One line of a script file read from *offset: at most SCRIPT_LINE_MAX
// characters are stored (the rest of a longer line is skipped), the line ends
// at CR (an LF right after it is skipped) or at a bare LF. Returns the stored
// length, -1 at the end of the file, -2 when the file cannot be opened, -3
// when no line end comes within SCRIPT_LINE_READ_MAX characters.
int scriptReadLine(const char* path, long* offset, char* line, size_t size);
// The keyword of a line (KEY_NONE for empty lines and comments).
ScriptKeyword scriptKeyword(const char* line);
// The quoted text of a WAITSTRING or SEND line with its caret escapes
// resolved; false when a quote is missing.
bool scriptQuotedText(const char* line, std::string* text);
// Replaces the first $PASS, $SITE and $PORT of text. Only the original text is
// searched, so a password holding "$SITE" stays as typed. secretBegin/End get
// the range of the result that came from the password (equal when none).
std::string scriptSubstitute(const std::string& text, const std::string& password, const std::string& site,
                             int port, size_t* secretBegin, size_t* secretEnd);
// Parses the number of a TIMEOUT line: 1 with *seconds set, 0 when the line
// carries no number, -1 when the number cannot be a time in milliseconds.
int scriptTimeoutValue(const char* line, int* seconds);

// Runs a script to its end. Returns 0 on success (EXIT, or the end of the
// file), -1 on failure.
int scriptExecute(const char* path, const ScriptEnv& env);
// Cancel from the dialog: the command in progress ends with failure.
void scriptCancel(const ScriptEnv& env);
// Called for every printable character placed while a script runs, with the
// current screen line from column 0 up to the cursor.
void scriptLineMatch(const uint8_t* line, int length);
// The syntax check; shows its result when showResult. Returns 0 or -1.
int scriptCheck(const char* path, bool showResult);
