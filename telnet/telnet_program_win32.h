// The Telnet program's main window and session: program-wide state (one per
// process) and the functions its window procedure and dialogs share.
#pragma once
#include <windows.h>

#include <string>

#include "shell/config_pages.h"
#include "shell/view_options_win32.h"
#include "telnet/command_line.h"

// Window messages of the main window beside the connection's.
constexpr UINT WM_TELNET_SCRIPT_DONE = WM_USER + 2;  // 1026: wParam 0 success, 1 failure
constexpr UINT WM_TELNET_REFIT = WM_USER + 14;       // 1038: fit the terminal to the window

constexpr int TIMER_CLOCK = 5;
constexpr int SESSION_TIMER_LAST = 28;  // timers 1..28 end with the session

constexpr const char* TELNET_CLASS = "KELVRO32-TELNET";
constexpr const char* TELNET_TITLE = "Kelvro32-Telnet";

struct TelnetProgram {
  HWND window = nullptr;
  HINSTANCE instance = nullptr;
  CommandLine commandLine{};
  bool commandLineHost = false;
  std::string startDir, viewerCommand, firewallScript;
  ViewOptions view{};
  bool transPrint = false;
  int scrollLines = 1000;
  bool online = false;
  bool menusSwitchedOnce = false;  // the first offline switch is the start-up one
  bool exiting = false;            // the user chose to exit: the session ends without a box
  bool scriptRunning = false;
  HWND scriptDialog = nullptr;
  DWORD connectStart = 0;
  int resizeCount = 0;
  bool refitPending = false;    // a re-fit message is queued
  bool refitFromResize = false;  // and a window resize asked for it
};
extern TelnetProgram telnetProgram;

constexpr StartupChoices TELNET_STARTUP = {103, 106, 107};

// Entry point of the program: runs start-up, the message loop and the clean-up.
int telnetMain(HINSTANCE instance, const char* commandLine);

// Window creation steps after the window exists.
bool telnetCreate(HWND window);
LRESULT CALLBACK telnetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The modeless dialog whose keys the message loop routes first (or nullptr).
HWND telnetCurrentModeless();

// Session: connect to sessionEntry, the session slots of the connection, the
// script end, menus and toolbar online or offline, the clock, re-fitting.
void sessionInit();
void sessionConnect();
void sessionScriptDone(WPARAM result);
void sessionMenus(bool online);
void sessionClockTick();
// Re-fit the terminal to the window by the entry's resize mode; fromResize
// when a window resize (not a new session) asked for it.
void sessionRefit(bool fromResize);
// Queues one re-fit however many sizes arrive before it runs.
void sessionPostRefit(bool fromResize);
// Hands the window to the terminal display with the session's font, resize
// mode and the bars' heights.
void sessionAttachDisplay();
// The configuration sheet: its hooks into the session, and a menu command
// that opens it on a page; OK applies the changed entry to the terminal.
void sessionConfigAttach();
void sessionSettings(int page);
// Menu 1005: capture on or off, the entry's "Session capture" following.
void sessionCaptureCommand();
// The capture file of the session: its entry name in the log directory.
std::string sessionLogPath();
// "Local IP:%s" for the status bar, or the bare address for the About box.
std::string localAddress();
void sessionStatusOffline();

// Transfers: the dialog for Receive or Send, the auto-start's receive, the
// main window's answer to the dialog's end, and the entry's protocol choice
// and real-time JPEG flag applied to the terminal and the menu.
void sessionTransferInit();
void sessionTransfer(bool sending);
void sessionTransferDone();
void sessionTransferOptions();
void sessionToggleJpegRealtime();

// Layout: toolbar on top, status bar at the bottom, the terminal between.
void telnetLayout();

// Dialogs of the Telnet program.
void aboutBox(HWND owner);
void telnetCommandDialog(HWND owner);
