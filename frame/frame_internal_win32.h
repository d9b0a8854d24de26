// What the main window's files share inside frame/.
#pragma once
#include <windows.h>

#include <string>

#include "frame/frame_win32.h"

constexpr UINT WM_FRAME_SCRIPT_DONE = WM_USER + 2;  // 1026: wParam 0 success, 1 failure
constexpr UINT WM_FRAME_REFIT = WM_USER + 14;       // 1038: fit the terminal to the window
constexpr int FRAME_TIMER_CLOCK = 5;
constexpr int FRAME_TIMER_LAST = 28;  // timers 1..28 end with the session

struct FrameWindow {
  HWND window = nullptr;
  HINSTANCE instance = nullptr;
  const FrameProgram* program = nullptr;
  std::string commandLine, startDir, firewallScript;
  std::string sessionScript;  // the next session's own script (a dial-up entry's), once
  ViewOptions view{};
  bool transPrint = false;
  int scrollLines = 1000;
  HWND scriptDialog = nullptr;
  int resizeCount = 0;
  bool refitPending = false;     // a re-fit message is queued
  bool refitFromResize = false;  // and a window resize asked for it
  bool exiting = false;          // the user chose to exit: the session ends without a box
};
extern FrameWindow frameWin;

void frameCommand(int id);
void frameExit();
void frameAbout();
void frameMenus(bool online);
void frameLayout();
void frameClockTick();
// The terminal of the program's start; negative: no memory even for the screen.
int frameTerminalStart(int scrollLines);
void frameAttachDisplay();
void frameRefit(bool fromResize);
void framePostRefit(bool fromResize);
void frameScriptDone(WPARAM result);
void frameSheetAttach();
void frameSettings(int page);
void frameCaptureCommand();
void framePrintAttach();
// Print Setup and the print jobs.
void framePrint(FrameCommand command);
void frameTransferInit();
void frameTransfer(bool sending);
void frameTransferDone();
void frameTransferOptions();
void frameToggleJpegRealtime();
