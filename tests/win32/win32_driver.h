// What the Win32 tests share: one main window that routes socket and script
// messages, the program's pump with a deadline, the screen as text, a second
// thread that drives modal windows as a user would, and the loopback Telnet
// connection that tests/win32/run provides.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "frame/connection.h"
#include "shell/script.h"
#include "telnet/net_connection.h"
#include "tests/support/screen_text.h"
#include "tests/support/file_text.h"

// The tests' visible main window: socket messages go to the connection, 1026
// is counted in scriptDone / scriptResult and destroys the script dialog.
HWND mainWindow();
extern int scriptDone;
extern WPARAM scriptResult;
// Runs the program's pump until done() or ms pass; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD ms);
// Whether text is on the screen.
bool onScreen(const char* text);
// The path of name in the temporary folder.
std::string tempPath(const std::string& name = "");
// Writes text to name in the temporary folder; returns the path.
std::string writeTempFile(const char* name, const std::string& text);
// An empty folder name in the temporary folder, made the program directory.
std::string freshProgramDir(const char* name);
// Starts text as a script in SCRIPTDLG over the real receive path; returns the
// dialog. waitScript pumps until 1026 arrived (at most ms).
HWND startScript(const char* name, const std::string& text);
bool waitScript(DWORD ms = 15000);
// Removes a value under the suite's registry key.
void deleteSetting(const char* name);

// Connection state the session slots record (reset by prepareTelnet).
struct NetEvents {
  bool established, lost;
};
extern NetEvents netEvents;
// The line is back offline without a session (the attempt ended).
bool lineEnded();
// Opens the Telnet line for request as the programs do, through the frame.
int openLine(const NetRequest& request);
// The line of the tests: the Telnet line with its steps observed; a test may
// replace slots after prepareTelnet.
FrameConnection& testConnection();
// Winsock up, a fresh 24x80 VT100 screen, the session slots set to attach the
// Telnet engine on establishment. False when Winsock or the screen failed.
bool prepareTelnet();
// The port of the loopback Telnet server (0 when the runner gave none).
int telnetServerPort();
// prepareTelnet, then connects to that server and waits for its shell prompt;
// checked says whether to check the states of the attempt on the way.
void connectToServer(bool checked = false);
// Bytes from the host through the terminal's receive path.
void receive(const std::string& bytes);
// Sends line and CR as typed.
void typeLine(const std::string& line);
// Types exit and waits for the host to close the connection.
void endSession();
NetRequest loopbackRequest(const char* address, int port);

// Waits up to ms for a visible top-level window with this title, of this
// process unless anyProcess.
HWND waitForWindow(const char* title, DWORD ms, bool anyProcess = false);
// Closes every message box with one of these titles that appears while it
// lives with OK, recording their texts and titles.
struct MessageBoxCloser {
  explicit MessageBoxCloser(std::vector<std::string> titles = {"Message"}, bool anyProcess = false);
  ~MessageBoxCloser();
  std::vector<std::string> texts();
  std::vector<std::string> titles();
  std::atomic<bool> stop{false};
  bool anyProcess;
  std::vector<std::string> watched;
  std::vector<std::string> seen, seenTitles;
  std::mutex lock;
  std::thread worker;
};
