// The configuration sheet over the session record: its hooks into the
// session, and the menu commands that open it on a page.
#include <windows.h>

#include <string>

#include "frame/frame_internal_win32.h"
#include "frame/frame_session.h"
#include "frame/config_sheet_win32.h"
#include "shell/program_dir.h"
#include "terminal/capture.h"
#include "terminal/print_win32.h"

namespace {
FrameWindow& W = frameWin;
bool captureOn() { return captureRunning() || captureWanted(); }
}  // namespace

void frameSheetAttach() {
  ConfigEnv env;
  env.mainWindow = W.window;
  static std::string dir;
  dir = programDir();
  env.programDir = dir.c_str();
  env.firewallScript = W.firewallScript.c_str();
  if (W.program->settings->firewallAddress) env.firewallAddressValue = W.program->settings->firewallAddress;
  if (W.program->settings->firewallPort) env.firewallPortValue = W.program->settings->firewallPort;
  env.captureOn = captureOn;
  env.captureChanged = [](bool on) {
    // While online the log opens or closes at once, as the capture command does.
    if (on != captureOn()) captureToggle(frameLogPath(), frameOnline());
  };
  configSheetAttach(env);
}

void frameSettings(int pageKind) {
  // The sheet shows (and OK keeps) what the line negotiated so far.
  if (frameOnline()) frameSession.connection->sessionEnd(W.program->record.session);
  const FrameProgram& P = *W.program;
  if (configSheet(W.window, *P.sheet, P.record.session, pageKind, false) != IDOK) return;
  // The changed record takes effect at once: terminal options, colours, font,
  // key map, local echo; the announced terminal type at the next request.
  frameRecordChanged();
}
