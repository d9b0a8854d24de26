// The life of a session in the Telnet program's window: connecting to
// sessionEntry, the connection-established step, the firewall script, the
// online clock, the menus and toolbar online and offline, and the loss or end
// of the connection with the entry saved.
#include <windows.h>
#include <winsock.h>

#include <cstdio>

#include "shell/book_entry.h"
#include "shell/config_sheet_win32.h"
#include "shell/message_box.h"
#include "shell/pump.h"
#include "shell/script.h"
#include "shell/script_dialog_win32.h"
#include "shell/script_terminal.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "shell/statusbar_win32.h"
#include "shell/toolbar_win32.h"
#include "shell/program_dir.h"
#include "telnet/netlink_win32.h"
#include "terminal/capture.h"
#include "terminal/print_win32.h"
#include "telnet/session_entry_file.h"
#include "telnet/session_hooks.h"
#include "telnet/session_options.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_entry.h"
#include "telnet/telnet_ids.h"
#include "telnet/telnet_program_win32.h"
#include "telnet/telnet_terminal.h"
#include "telnet/telnet_texts.h"
#include "telnet/window_title.h"
#include "terminal/display_win32.h"
#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/keymap.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_type.h"
#include "transfer/transfer_dialog_win32.h"

namespace {
TelnetProgram& P = telnetProgram;

const int ONLINE_BUTTONS[] = {CMD_RECEIVE, CMD_TRANSMIT, CMD_SEND, CMD_DISCONNECT};
const int OFFLINE_BUTTONS[] = {CMD_TELNETBOOK, CMD_QUICK_CONNECT};
// Menu entries that only work while connected.
const int ONLINE_ENTRIES[] = {CMD_RESET_TERM, CMD_DISCONNECT, CMD_TRANSMIT, CMD_SEND, CMD_RECEIVE};

void keyboardForSession();
LOGFONTA entryFont(const BookEntry& entry);

void enableEntry(HMENU menu, int id, bool enabled) {
  EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void connectedStatus() {
  char address[81];
  recordText(sessionEntry.bytes, bookField::address, address, sizeof address);
  char text[128];
  snprintf(text, sizeof text, "%s is connected", address);
  statusBarText(2, text);
  SetWindowTextA(P.window, telnetWindowTitle(address, true).c_str());
  statusBarText(1, localAddress().c_str());
}

void killSessionTimers() {
  for (int id = 1; id <= SESSION_TIMER_LAST; ++id) {
    KillTimer(P.window, static_cast<UINT_PTR>(id));
    timerKill(id);
  }
}

void startSession() {
  // The offers or the Rlogin handshake, whichever the session speaks.
  telnetOnConnected();
}

int scriptIncoming() { return receiveAvailable(); }

void onEstablished() {
  P.online = true;
  sessionMenus(true);
  SetTimer(P.window, TIMER_CLOCK, 1000, nullptr);
  P.connectStart = GetTickCount();
  connectedStatus();
  statusBarText(3, "00:00:00");
  sessionApplyTerminal(sessionEntry);
  sessionTransferOptions();
  sessionAttachDisplay();
  sessionPostRefit(false);  // the entry's resize mode may differ from the last one
  keyboardForSession();
  telnetAttachTerminal();
  if (recordInt(sessionEntry.bytes, bookField::sessionCapture) != 0) setCaptureWanted(true);
  captureConnectionStart(sessionLogPath());
  telnetState.windowSizeReporting = false;
  telnetState.terminalTypeRequested = false;
  if (recordInt(sessionEntry.bytes, bookField::useFirewall) != 0) {
    P.scriptRunning = true;
    ScriptEnv env;
    env.processIncoming = scriptIncoming;
    env.sendChar = scriptSendChar;
    env.askPassword = [](std::string* password) { return scriptAskPassword(P.window, password); };
    char address[81];
    recordText(sessionEntry.bytes, bookField::address, address, sizeof address);
    env.site = address;
    env.port = bookPort(sessionEntry);
    env.defaultPort = bookProtocol(sessionEntry) == 1 ? 513 : 23;
    scriptAttachTerminal();
    P.scriptDialog = scriptRun(P.window, P.firewallScript.c_str(), env, SCRIPT_DIALOG_NETWORK);
    if (!P.scriptDialog) {
      P.scriptRunning = false;
      netDisconnect();
    }
    return;
  }
  startSession();
}

void onLost() {
  P.online = false;
  captureConnectionEnd();
  killSessionTimers();
  if (P.scriptDialog) {
    scriptDialogClose(P.window);
    P.scriptDialog = nullptr;
    P.scriptRunning = false;
  }
  telnetSessionToEntry(sessionEntry);
  sessionEntrySaveBack();
  sessionMenus(false);
}

void onAttemptEnded() { EnableWindow(P.window, TRUE); }

int receivePass() {
  // A running script reads the line itself while it waits; reading here would
  // place text before its first WAITSTRING could see it.
  // A transfer reads it too, from its dialog.
  if (P.scriptRunning || transferDialog()) return 0;
  int result = receiveAvailable();
  displayCaretToCursor();
  return result;
}

// The key map of the session's emulation, with the entry's key options.
void keyboardForSession() {
  std::string path = programPath("kelvro.kbd");
  snprintf(keyboard.mapPath, sizeof keyboard.mapPath, "%s", path.c_str());
  keyboard.backspaceDelete = recordInt(sessionEntry.bytes, bookField::backspaceDelete) != 0;
  keyboard.rlogin = bookProtocol(sessionEntry) == 1;
  keyboard.rloginRaw = false;
  keyboard.shiftCommandKeys = true;  // Shift+Insert and Shift+Delete are Transmit and Copy here
  loadKeyMap(bookEmulation(sessionEntry));
}

LOGFONTA entryFont(const BookEntry& entry) {
  using namespace bookField;
  const uint8_t* r = entry.bytes;
  LOGFONTA f{};
  f.lfHeight = static_cast<LONG>(recordInt(r, fontHeight));
  if (f.lfHeight == 0) f.lfHeight = FONT_HEIGHT_9PT;
  f.lfWidth = static_cast<LONG>(recordInt(r, fontWidth));
  f.lfWeight = static_cast<LONG>(recordInt(r, fontWeight));
  f.lfCharSet = static_cast<BYTE>(recordInt(r, fontCharSet));
  f.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  recordText(r, fontFace, f.lfFaceName, sizeof f.lfFaceName);
  if (!f.lfFaceName[0]) snprintf(f.lfFaceName, sizeof f.lfFaceName, "courier");
  return f;
}
}  // namespace

std::string localAddress() {
  char name[256];
  if (gethostname(name, sizeof name) == 0) {
    const hostent* h = gethostbyname(name);
    if (h && h->h_addr_list && h->h_addr_list[0]) {
      in_addr a;
      memcpy(&a, h->h_addr_list[0], sizeof a);
      return std::string("Local IP:") + inet_ntoa(a);
    }
  }
  return "Local IP";
}

void sessionInit() {
  sessionHooks.established = onEstablished;
  sessionHooks.lost = onLost;
  sessionHooks.attemptEnded = onAttemptEnded;
  sessionHooks.receivePass = receivePass;
  sessionTransferInit();
}

void sessionAttachDisplay() {
  DisplayConfig config{};
  config.font = entryFont(sessionEntry);
  config.resizeMode = bookResizeMode(sessionEntry);
  config.toolbarHeight = toolbarHeight();
  config.statusHeight = statusBarHeight();
  config.transmit.characterDelay = static_cast<int>(recordInt(sessionEntry.bytes, bookField::charDelay));
  config.transmit.lineDelay = static_cast<int>(recordInt(sessionEntry.bytes, bookField::lineDelay));
  config.transmit.stripLinefeed = recordInt(sessionEntry.bytes, bookField::stripLinefeed) != 0;
  displayAttach(P.window, config);
}

void sessionConnect() {
  telnetSessionFromEntry(sessionEntry);
  netConnect(P.window, netRequestFromEntry(sessionEntry));
}

void sessionScriptDone(WPARAM result) {
  if (P.scriptDialog) scriptDialogClose(P.window);
  P.scriptDialog = nullptr;
  P.scriptRunning = false;
  if (result == 1) {
    netDisconnect();
    return;
  }
  if (!P.online) return;
  connectedStatus();
  netTransferEvents(false);
  startSession();
}

void sessionMenus(bool online) {
  HMENU menu = GetMenu(P.window);
  toolbarSetOnline(online, ONLINE_BUTTONS, 4, OFFLINE_BUTTONS, 2);
  for (int id : ONLINE_ENTRIES) enableEntry(menu, id, online);
  enableEntry(menu, CMD_TELNET_COMMAND, online && bookProtocol(sessionEntry) != 1);
  // The colour page does not apply to the palette emulations.
  enableEntry(menu, CMD_COLOR, !terminalType(bookEmulation(sessionEntry)).palette);
  enableEntry(menu, CMD_TELNETBOOK, !online);
  enableEntry(menu, CMD_QUICK_CONNECT, !online);
  DrawMenuBar(P.window);
  if (online) {
    char dir[1028];
    if (recordText(sessionEntry.bytes, bookField::sessionDir, dir, sizeof dir) == 0) {
      regReadString(SETTING_SESSION, "", dir, sizeof dir);
      recordSetText(sessionEntry.bytes, bookField::sessionDir, dir);
    }
    if (recordText(sessionEntry.bytes, bookField::downloadDir, dir, sizeof dir) == 0) {
      regReadString(SETTING_DOWNLOAD, "", dir, sizeof dir);
      recordSetText(sessionEntry.bytes, bookField::downloadDir, dir);
    }
    return;
  }
  sessionStatusOffline();
  // The first switch is the one made while the window is created.
  bool startup = !P.menusSwitchedOnce;
  P.menusSwitchedOnce = true;
  if (startup) return;
  if (P.exiting) return;
  if (P.view.disconnectBox) messageBox(TXT_DISCONNECTED, nullptr, MSG_OK | MSG_ICONINFORMATION);
  if (P.view.startup == TELNET_STARTUP.book) PostMessageA(P.window, WM_COMMAND, CMD_TELNETBOOK, 0);
  else if (P.view.startup == TELNET_STARTUP.connect) PostMessageA(P.window, WM_COMMAND, CMD_QUICK_CONNECT, 0);
}

void sessionStatusOffline() {
  SetWindowTextA(P.window, telnetWindowTitle(nullptr, false).c_str());
  statusBarText(2, "Offline");
  statusBarText(3, "00:00:00");
}

void sessionClockTick() {
  if (!P.online) return;
  DWORD seconds = (GetTickCount() - P.connectStart) / 1000;
  if (seconds == 0) return;
  char text[32];
  snprintf(text, sizeof text, "%02lu:%02lu:%02lu", static_cast<unsigned long>(seconds / 3600 % 100),
           static_cast<unsigned long>(seconds / 60 % 60), static_cast<unsigned long>(seconds % 60));
  statusBarText(3, text);
}

namespace {
void noSizeReport(int, int) {}

// "Term": rows and columns from the client area, both set before the one
// report; a window too low for 24 rows is grown, and that growth re-fits again.
void refitTerm(const RECT& client) {
  int rows = 0, columns = 0;
  int neededHeight = sessionTermFit(client.right, client.bottom, toolbarHeight(), screen.cellWidth, screen.cellHeight,
                                    &rows, &columns);
  void (*report)(int, int) = terminalHooks.windowSizeChanged;
  terminalHooks.windowSizeChanged = noSizeReport;
  screen.columns = columns;
  if (rows != screen.rows) setRows(rows);
  terminalHooks.windowSizeChanged = report;
  // The host already has a size it was told; a re-fit that changed nothing says nothing.
  if (rows != telnetSession.rows || columns != telnetSession.columns) report(columns, rows);
  sessionAttachDisplay();  // scroll ranges and the shown width follow the new size
  if (neededHeight > client.bottom && !IsZoomed(P.window) && !IsIconic(P.window)) {
    RECT w;
    GetWindowRect(P.window, &w);
    SetWindowPos(P.window, nullptr, 0, 0, w.right - w.left, (w.bottom - w.top) - client.bottom + neededHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}
}  // namespace

void sessionRefit(bool fromResize) {
  P.refitPending = false;
  RECT r;
  GetClientRect(P.window, &r);
  if (r.right <= 0 || r.bottom <= 0) return;
  int mode = bookResizeMode(sessionEntry);
  if (mode == RESIZE_TERM) {
    refitTerm(r);
    return;
  }
  if (mode == RESIZE_FONT) {
    // The font is chosen anew on every second resize only: a drag that
    // delivers many sizes does not rebuild the font at each of them.
    if (fromResize && ++P.resizeCount % 2 != 0) return;
    displaySized(P.window, r.right, r.bottom);
    return;
  }
  displaySized(P.window, r.right, r.bottom);
  if (IsZoomed(P.window) || IsIconic(P.window)) return;
  // "None": the window takes the terminal's size, whatever the user dragged.
  int width = screen.columns * screen.cellWidth + TEXT_MARGIN;
  int height = toolbarHeight() + screen.rows * screen.cellHeight + displayBelowText();
  if (width == r.right && height == r.bottom) return;
  RECT w;
  GetWindowRect(P.window, &w);
  SetWindowPos(P.window, nullptr, 0, 0, (w.right - w.left) - r.right + width, (w.bottom - w.top) - r.bottom + height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string sessionLogPath() {
  std::string dir = recordText(sessionEntry.bytes, bookField::sessionDir);
  if (dir.empty()) {
    char stored[1028] = "";
    regReadString(SETTING_SESSION, "", stored, sizeof stored);
    dir = stored;
  }
  return captureLogPath(dir, programDir(), recordText(sessionEntry.bytes, bookField::name));
}

void sessionPostRefit(bool fromResize) {
  // Sizes that arrive faster than they are handled make one re-fit, not many.
  if (fromResize) P.refitFromResize = true;
  if (P.refitPending) return;
  P.refitPending = true;
  PostMessageA(P.window, WM_TELNET_REFIT, 0, 0);
}

void sessionCaptureCommand() {
  captureToggle(sessionLogPath(), P.online);
  // The entry keeps the choice for its next session.
  recordSetInt(sessionEntry.bytes, bookField::sessionCapture, captureRunning() || captureWanted() ? 1 : 0);
}

void sessionConfigAttach() {
  ConfigEnv env;
  env.mainWindow = P.window;
  static std::string dir;
  dir = programDir();
  env.programDir = dir.c_str();
  env.firewallScript = P.firewallScript.c_str();
  env.firewallAddressValue = TELNET_SETTINGS.firewallAddress;
  env.firewallPortValue = TELNET_SETTINGS.firewallPort;
  env.captureOn = [] { return captureRunning() || captureWanted(); };
  env.captureChanged = [](bool on) {
    // While online the log opens or closes at once, as menu 1005 does.
    if (on != (captureRunning() || captureWanted())) captureToggle(sessionLogPath(), P.online);
  };
  configSheetAttach(env);
}

void sessionSettings(int page) {
  // The sheet shows (and OK keeps) what the connection negotiated so far.
  if (P.online) telnetSessionToEntry(sessionEntry);
  if (settingsSheet(P.window, &sessionEntry, page, false) != IDOK) return;
  // The changed entry takes effect at once: terminal options, colours, font,
  // key map, local echo; the announced terminal type at the next request.
  if (P.online) {
    sessionApplyTerminal(sessionEntry);
    keyboardForSession();
    telnetSessionFromEntry(sessionEntry);
  }
  sessionTransferOptions();  // the protocol choice and the real-time view
  sessionAttachDisplay();
  sessionPostRefit(false);
  enableEntry(GetMenu(P.window), CMD_COLOR, !terminalType(bookEmulation(sessionEntry)).palette);
  InvalidateRect(P.window, nullptr, TRUE);
}
