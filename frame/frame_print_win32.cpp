// Printing and capture in the main window: the printer chosen in Print Setup
// kept in the settings store across runs, and the check marks of Capture
// Session and Print Transparent following their state.
#include <windows.h>

#include <string>

#include "frame/frame_internal_win32.h"
#include "shell/program_dir.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "terminal/notice.h"
#include "terminal/print_win32.h"

namespace {
FrameWindow& W = frameWin;

void checkEntry(FrameCommand command, bool on) {
  int id = W.program ? frameCommandId(command) : 0;
  if (id) CheckMenuItem(GetMenu(W.window), static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

// A choice made in Print Setup, or one found gone by a job, is stored at once.
void keepChoice() {
  char stored[256] = "";
  regReadString(SETTING_PRINTER, "", stored, sizeof stored);
  if (printChosen() != stored) regWriteString(SETTING_PRINTER, printChosen().c_str());
}
}  // namespace

void noticeCaptureChanged(bool on) { checkEntry(FC_CAPTURE, on); }
void noticeTransparentChanged(bool on) { checkEntry(FC_PRINT_TRANSPARENT, on); }

void framePrintAttach() {
  char chosen[256] = "";
  regReadString(SETTING_PRINTER, "", chosen, sizeof chosen);
  printAttachWindow(W.window, W.program->connection->readMessage, chosen);
}

void framePrint(FrameCommand command) {
  switch (command) {
    case FC_PRINT_SETUP: printSetup(); break;
    case FC_PRINT_BUFFER: printBuffer(); break;
    case FC_COPY_PRINTER: printSelection(); break;
    case FC_PRINT_LOGFILE: {
      char logDir[MAX_PATH] = "";
      regReadString(SETTING_SESSION, "", logDir, sizeof logDir);
      printLogfile(logDir);
      break;
    }
    default: break;
  }
  keepChoice();
}
