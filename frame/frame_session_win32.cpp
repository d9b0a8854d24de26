// What the session life cycle shows in the main window: menus and toolbar
// online and offline, the status texts and the clock, the terminal, display
// and keyboard after the profile, the capture, the login script, the record
// saved at the end, and the re-fit of the terminal to the window.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "frame/frame_internal_win32.h"
#include "frame/frame_session.h"
#include "frame/frame_terminal.h"
#include "frame/frame_texts.h"
#include "frame/frame_ui.h"
#include "shell/message_box.h"
#include "shell/program_dir.h"
#include "shell/pump.h"
#include "shell/script.h"
#include "shell/script_dialog_win32.h"
#include "shell/script_terminal.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "shell/statusbar_win32.h"
#include "shell/toolbar_win32.h"
#include "terminal/capture.h"
#include "terminal/print_win32.h"
#include "terminal/display_win32.h"
#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/keymap.h"
#include "terminal/plain_view.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_type.h"

namespace {
FrameWindow& W = frameWin;
const FrameProgram& P() { return *W.program; }
SessionProfile& profile() { return frameSession.profile; }

void enableEntry(HMENU menu, int id, bool enabled) {
  EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void showTitle(bool connected) {
  std::string title = P().title;
  if (connected && P().titleNamesHost && profile().address[0]) title += std::string(" - ") + profile().address;
  SetWindowTextA(W.window, title.c_str());
}

void connectedStatus() {
  showTitle(true);
  char text[256];
  frameSession.connection->statusText(text, sizeof text);
  statusBarText(P().statusPane, text);
  if (P().addressPane >= 0) statusBarText(P().addressPane, frameLocalAddress().c_str());
}

void statusOffline() {
  showTitle(false);
  statusBarText(P().statusPane, "Offline");
  statusBarText(P().clockPane, "00:00:00");
}

void killSessionTimers() {
  for (int id = 1; id <= FRAME_TIMER_LAST; ++id) {
    KillTimer(W.window, static_cast<UINT_PTR>(id));
    timerKill(id);
  }
}

// The key map of the session's emulation, with the profile's key options.
void keyboardForSession() {
  std::string path = programPath("kelvro.kbd");
  snprintf(keyboard.mapPath, sizeof keyboard.mapPath, "%s", path.c_str());
  keyboard.backspaceDelete = profile().backspaceDelete;
  keyboard.rlogin = profile().kind == PROFILE_TELNET && profile().rlogin;
  // Shift+Insert and Shift+Delete are Transmit and Copy where the menu says so.
  keyboard.shiftCommandKeys = P().accelerators != nullptr;
  loadKeyMap(profile().emulation);
}

LOGFONTA profileFont(const SessionProfile& p) {
  LOGFONTA f{};
  f.lfHeight = p.fontHeight;
  f.lfWidth = p.fontWidth;
  f.lfWeight = p.fontWeight;
  f.lfCharSet = static_cast<BYTE>(p.fontCharSet);
  f.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  snprintf(f.lfFaceName, sizeof f.lfFaceName, "%s", p.fontFace);
  return f;
}

// An empty session or download directory of the record is filled from the
// settings store when the session starts.
void fillDirectory(const FieldSpec* field, const char* setting) {
  uint8_t* record = P().record.session;
  char dir[1028];
  if (recordText(record, *field, dir, sizeof dir) != 0) return;
  regReadString(setting, "", dir, sizeof dir);
  recordSetText(record, *field, dir);
}

int scriptIncoming() { return receiveAvailable(); }

void sizeToConnection(int columns, int rows) { frameSession.connection->terminalSize(columns, rows); }
}  // namespace

int frameTerminalStart(int scrollLines) {
  int r = frameTerminalReset(scrollLines);
  terminalHooks.windowSizeChanged = sizeToConnection;
  return r;
}

// A test's window may stand in for the main window with no program around
// it: the life cycle then runs without the program's steps.
void frameUiOnline() {
  if (!W.program) return;
  fillDirectory(P().record.sessionDir, SETTING_SESSION);
  fillDirectory(P().record.downloadDir, SETTING_DOWNLOAD);
  profile() = P().record.decode(P().record.session);
  frameMenus(true);
  SetTimer(W.window, FRAME_TIMER_CLOCK, 1000, nullptr);
  connectedStatus();
  statusBarText(P().clockPane, "00:00:00");
  frameApplyTerminal(profile());
  frameTransferOptions();
  frameAttachDisplay();
  framePostRefit(false);  // the entry's resize mode may differ from the last one
  keyboardForSession();
  if (profile().sessionCapture) setCaptureWanted(true);
  captureConnectionStart(frameLogPath());
}

int frameUiLoginScript() {
  if (!W.program) return 0;
  const std::string own = W.sessionScript;
  W.sessionScript.clear();
  if (own.empty() && (!profile().useFirewall || W.firewallScript.empty())) return 0;
  ScriptEnv env;
  env.processIncoming = scriptIncoming;
  env.sendChar = scriptSendChar;
  env.askPassword = [](std::string* password) { return scriptAskPassword(W.window, password); };
  env.site = profile().address;
  env.port = profile().port;
  // An entry without a port reaches its protocol's service: the firewall is
  // told 513 for an Rlogin session, where 23 would send it to Telnet.
  env.defaultPort = profile().rlogin ? 513 : 23;
  scriptAttachTerminal();
  if (!own.empty())
    W.scriptDialog = scriptRun(W.window, own.c_str(), env, SCRIPT_DIALOG_DIALUP);
  else
    W.scriptDialog = scriptRun(W.window, W.firewallScript.c_str(), env, SCRIPT_DIALOG_NETWORK);
  return W.scriptDialog ? 1 : -1;
}

void frameUiOffline(bool startup) {
  if (!W.program) return;
  if (!startup) {
    captureConnectionEnd();
    killSessionTimers();
    if (W.scriptDialog) {
      scriptDialogClose(W.window);
      W.scriptDialog = nullptr;
    }
    P().record.save(P().record.session);
  }
  frameMenus(false);
  statusOffline();
  // One question is enough when the user exits: no box after the answer.
  if (startup || W.exiting) return;
  // A serial line says why it went: its carrier.
  if (W.view.disconnectBox)
    messageBox(profile().kind == PROFILE_PHONE ? TXT_CARRIER_LOSS : TXT_DISCONNECTED, nullptr, MSG_OK | MSG_ICONINFORMATION);
  if (W.view.startup == P().startup.book)
    PostMessageA(W.window, WM_COMMAND, static_cast<WPARAM>(frameCommandId(FC_BOOK)), 0);
  else if (W.view.startup == P().startup.connect)
    PostMessageA(W.window, WM_COMMAND, static_cast<WPARAM>(frameCommandId(FC_QUICK_CONNECT)), 0);
}

void frameUiAttemptEnded() {
  if (W.window) EnableWindow(W.window, TRUE);
}

void frameUiReceived() {
  if (W.program) displayCaretToCursor();
}

void frameUseWindow(HWND window) { W.window = window; }

void frameSetSessionScript(const std::string& path) { W.sessionScript = path; }

void frameMenus(bool online) {
  HMENU menu = GetMenu(W.window);
  toolbarSetOnline(online, P().onlineButtons, P().onlineButtonCount, P().offlineButtons, P().offlineButtonCount);
  for (int i = 0; i < P().commandCount; ++i) {
    const FrameCommandMap& c = P().commands[i];
    if (c.command >= FC_SPECIAL_TELNET_COMMAND && c.command <= FC_SPECIAL_LAST) {
      bool enabled = (online || c.when == WHEN_ALWAYS) &&
                     frameSession.connection->specialEnabled(c.command - FC_SPECIAL_TELNET_COMMAND);
      enableEntry(menu, c.id, enabled);
    } else if (c.when != WHEN_ALWAYS) {
      enableEntry(menu, c.id, (c.when == WHEN_ONLINE) == online);
    }
  }
  // The colour page does not apply to the palette emulations.
  if (int colour = frameCommandId(FC_COLOR)) enableEntry(menu, colour, !terminalType(profile().emulation).palette);
  if (P().menusSwitched) P().menusSwitched(online);
  DrawMenuBar(W.window);
}

void frameClockTick() {
  char text[32];
  frameClockText(text, sizeof text);
  if (text[0]) statusBarText(P().clockPane, text);
}

void frameScriptDone(WPARAM result) {
  if (W.scriptDialog) scriptDialogClose(W.window);
  W.scriptDialog = nullptr;
  if (result == 0 && frameOnline()) connectedStatus();
  frameScriptEnd(result == 0);
}

void frameAttachDisplay() {
  const SessionProfile& p = profile();
  DisplayConfig config{};
  config.font = profileFont(p);
  config.resizeMode = p.resizeMode;
  config.toolbarHeight = toolbarHeight();
  config.statusHeight = statusBarHeight();
  config.transmit.characterDelay = p.transfer.charDelayMs;
  config.transmit.lineDelay = p.transfer.lineDelayMs;
  config.transmit.stripLinefeed = p.transfer.stripLinefeed;
  displayAttach(W.window, config);
}

int frameOpenSession() { return frameOpen(P().record.decode(P().record.session)); }

void frameRecordChanged() {
  profile() = P().record.decode(P().record.session);
  if (frameOnline()) {
    frameApplyTerminal(profile());
    keyboardForSession();
    frameSession.connection->attach();
  }
  frameTransferOptions();  // the protocol choice and the real-time view
  frameAttachDisplay();
  framePostRefit(false);
  if (int colour = frameCommandId(FC_COLOR))
    enableEntry(GetMenu(W.window), colour, !terminalType(profile().emulation).palette);
  InvalidateRect(W.window, nullptr, TRUE);
}

std::string frameLogPath() {
  const uint8_t* record = P().record.session;
  std::string dir = recordText(record, *P().record.sessionDir);
  if (dir.empty()) {
    char stored[1028] = "";
    regReadString(SETTING_SESSION, "", stored, sizeof stored);
    dir = stored;
  }
  return captureLogPath(dir, programDir(), recordText(record, *P().record.name));
}

void frameCaptureCommand() {
  captureToggle(frameLogPath(), frameOnline());
  // The record keeps the choice for its next session.
  recordSetInt(P().record.session, *P().record.sessionCapture, captureRunning() || captureWanted() ? 1 : 0);
}

namespace {
// "Term": rows and columns from the client area, both set before the one
// report; a window too low for 24 rows is grown, and that growth re-fits again.
void refitTerm(const RECT& client) {
  int rows = 0, columns = 0;
  int neededHeight =
      frameTermFit(client.right, client.bottom, toolbarHeight(), screen.cellWidth, screen.cellHeight, &rows, &columns);
  screen.columns = columns;
  if (rows != screen.rows) setRows(rows, false);
  frameSession.connection->terminalSize(columns, rows);
  frameAttachDisplay();  // scroll ranges and the shown width follow the new size
  if (neededHeight > client.bottom && !IsZoomed(W.window) && !IsIconic(W.window)) {
    RECT w;
    GetWindowRect(W.window, &w);
    SetWindowPos(W.window, nullptr, 0, 0, w.right - w.left, (w.bottom - w.top) - client.bottom + neededHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// The plain text view keeps its lines of 132 characters (the horizontal bar
// shows the rest) and shows as many rows as the window holds.
void refitPlain(const RECT& client) {
  int rows = 0, columns = 0;
  frameTermFit(client.right, client.bottom, toolbarHeight(), screen.cellWidth, screen.cellHeight, &rows, &columns);
  screen.columns = PLAIN_VIEW_COLUMNS;
  if (rows != screen.rows) setRows(rows, false);
  frameAttachDisplay();
  displaySized(W.window, client.right, client.bottom);
}
}  // namespace

void frameRefit(bool fromResize) {
  W.refitPending = false;
  RECT r;
  GetClientRect(W.window, &r);
  if (r.right <= 0 || r.bottom <= 0) return;
  if (P().plainView) {
    refitPlain(r);
    return;
  }
  int mode = profile().resizeMode;
  if (mode == RESIZE_TERM) {
    refitTerm(r);
    return;
  }
  if (mode == RESIZE_FONT) {
    // The font is chosen anew on every second resize only: a drag that
    // delivers many sizes does not rebuild the font at each of them.
    if (fromResize && ++W.resizeCount % 2 != 0) return;
    displaySized(W.window, r.right, r.bottom);
    return;
  }
  displaySized(W.window, r.right, r.bottom);
  if (IsZoomed(W.window) || IsIconic(W.window)) return;
  // "None": the window takes the terminal's size, whatever the user dragged.
  int width = screen.columns * screen.cellWidth + TEXT_MARGIN;
  int height = toolbarHeight() + screen.rows * screen.cellHeight + displayBelowText();
  if (width == r.right && height == r.bottom) return;
  RECT w;
  GetWindowRect(W.window, &w);
  SetWindowPos(W.window, nullptr, 0, 0, (w.right - w.left) - r.right + width, (w.bottom - w.top) - r.bottom + height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void framePostRefit(bool fromResize) {
  // Sizes that arrive faster than they are handled make one re-fit, not many.
  if (fromResize) W.refitFromResize = true;
  if (W.refitPending) return;
  W.refitPending = true;
  PostMessageA(W.window, WM_FRAME_REFIT, 0, 0);
}
