// The main window every terminal program stands on. A program hands frameMain
// a description of itself: its settings names, window class, title, icon and
// menu, toolbar, the identifiers of its menu mapped to the frame's commands,
// its start-up choices, its session record and its connection.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "frame/config_sheet_win32.h"
#include "frame/connection.h"
#include "frame/frame_commands.h"
#include "shell/record.h"
#include "shell/session_profile.h"
#include "shell/settings_defaults.h"
#include "shell/toolbar_win32.h"
#include "shell/view_options_win32.h"

// The session record of a program: the one instance, its template, and the
// fields the frame itself reads or writes back.
struct FrameRecord {
  uint8_t* session;
  const uint8_t* templateRecord;
  size_t size;
  SessionProfile (*decode)(const uint8_t* record);
  int (*loadTemplate)();
  int (*save)(const uint8_t* record);
  const FieldSpec* name;
  const FieldSpec* sessionCapture;
  const FieldSpec* viewJpegRealtime;
  const FieldSpec* sessionDir;
  const FieldSpec* downloadDir;
};

struct FrameProgram {
  const char* windowClass;
  const char* title;
  const char* subtitle;       // the splash box's second line
  bool titleNamesHost;        // "TITLE - HOST" while connected (windows of several sessions told apart)
  const char* icon;
  const char* menu;
  const char* accelerators;   // nullptr: the program has none
  const char* exeName;        // "New Window" starts this from the program directory
  const char* helpChm;
  const char* helpHlp;
  const char* firewallScript; // file in the program directory, or nullptr
  const char* aboutDialog;    // its About box (controls of frame/frame_ids.h)
  const ProgramSettings* settings;
  StartupChoices startup;
  // Status-bar panes: the connection text ("Offline" when there is none), the
  // online clock, and the local address (-1: not shown).
  int statusPane, clockPane, addressPane;
  int statusEdges[3];         // where the first three panes end, percent of the width
  const char* toolbarBitmap;
  const ToolButton* toolButtons;
  int toolButtonCount;
  const int* onlineButtons;
  int onlineButtonCount;
  const int* offlineButtons;
  int offlineButtonCount;
  const FrameCommandMap* commands;
  int commandCount;
  const FrameConnection* connection;
  FrameRecord record;
  // The program's own steps: after the frame's creation steps (command line,
  // start-up choice), for its book and Quick Connect commands.
  void (*created)(HWND window);
  void (*book)(HWND owner);
  void (*quickConnect)(HWND owner);
  // The configuration sheet over the session record: its field map and its
  // pages (the settings commands open it on a page kind).
  const ConfigSheetSpec* sheet;
  // A session view of plain text lines (132 columns, rows after the window)
  // instead of a terminal: the line writes its text there itself.
  bool plainView = false;
  // The program's own menu commands: those mapped to FC_PROGRAM and those
  // the map does not hold (true when handled); its menu marks after each
  // online or offline switch.
  bool (*ownCommand)(int id) = nullptr;
  void (*menusSwitched)(bool online) = nullptr;
  // After the bars and the session view were laid out again (a resize).
  void (*laidOut)() = nullptr;
};

// Runs the program: class, window, message loop, clean-up; the exit code.
int frameMain(HINSTANCE instance, const char* commandLine, const FrameProgram& program);

// What the program's own steps use.
HWND frameWindow();
// The window the lines post their messages to, where no program runs (a test's).
void frameUseWindow(HWND window);
const FrameProgram& frameProgram();
// The command line as the program received it.
const char* frameCommandLine();
// Opens a session for the program's session record (decoded anew).
int frameOpenSession();
// The log file of the session: its entry name in the log directory.
std::string frameLogPath();
// The identifier a program gives command (0 when its menu has none).
int frameCommandId(FrameCommand command);
// "Local IP:%s", or "Local IP" when the host name cannot be resolved.
std::string frameLocalAddress();
// The session that comes up next runs the script at path before the line's
// opening (a dial-up entry's own script); "" for none.
void frameSetSessionScript(const std::string& path);
// Re-reads the profile after the record changed (the settings sheet).
void frameRecordChanged();
