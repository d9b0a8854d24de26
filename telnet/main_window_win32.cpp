// The Telnet program from start to exit: command line, window class and
// geometry, the creation steps in their fixed order, the message loop, the
// menu commands, and the close rules with the geometry stored at the end.
#include <windows.h>
#include <commctrl.h>
#include <winsock.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "shell/command_shell.h"
#include "shell/help_win32.h"
#include "shell/message_box.h"
#include "shell/message_box_win32.h"
#include "shell/program_dir.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "shell/splash_win32.h"
#include "shell/statusbar_win32.h"
#include "shell/toolbar_win32.h"
#include "telnet/netlink_win32.h"
#include "telnet/session_options.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_ids.h"
#include "telnet/telnet_program_win32.h"
#include "telnet/telnet_texts.h"
#include "telnet/telnetbook_win32.h"
#include "terminal/display_win32.h"
#include "terminal/print_win32.h"
#include "terminal/transparent_print.h"
#include "terminal/emulator.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"
#include "transfer/text_utilities_win32.h"
#include "transfer/transfer_dialog_ids.h"
#include "transfer/transfer_dialog_win32.h"
#include "viewer/feed_send.h"

TelnetProgram telnetProgram;

namespace {
TelnetProgram& P = telnetProgram;

const ToolButton TOOL_BUTTONS[] = {
    {"Connect", CMD_QUICK_CONNECT, "Make quick connection"},
    {"Telnetbook", CMD_TELNETBOOK, "Open Telnet addressbook"},
    {"Copy", CMD_COPY, "Copy to clipboard"},
    {"Paste", CMD_TRANSMIT, "Send clipboard data to host"},
    {"Find", CMD_FIND, "Search text in scroll buffer"},
    {"Receive", CMD_RECEIVE, "Download file(s)"},
    {"Send", CMD_SEND, "Upload file(s)"},
    {"MS-DOS", CMD_MSDOS, "Activate MS-DOS"},
    {"Disconnect", CMD_DISCONNECT, "Disconnect from host"},
    {"Exit", CMD_EXIT, "Exit from program"},
    {"Help", CMD_HELP_CONTENTS, "Help"},
};

// The program directory: the directory of the suite's registered path when
// there is one, else the directory current at start-up.
std::string findProgramDir() {
  char current[MAX_PATH] = ".";
  GetCurrentDirectoryA(sizeof current, current);
  std::string dir = current;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kelvro32.exe", 0,
                    KEY_READ, &key) == ERROR_SUCCESS) {
    char path[MAX_PATH + 1] = "";
    DWORD size = MAX_PATH;
    DWORD type = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
      path[size < MAX_PATH ? size : MAX_PATH] = '\0';
      std::string registered = path;
      size_t slash = registered.find_last_of("\\/");
      if (slash != std::string::npos && slash > 0) dir = registered.substr(0, slash);
    }
    RegCloseKey(key);
  }
  return dir;
}

void exitWindow() {
  if (P.online) {
    if (P.view.warnClose) {
      MessageBeep(0);
      if (MessageBoxA(P.window, messageText(TXT_STILL_CONNECTED), MESSAGE_TITLE, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    }
    P.exiting = true;  // one question is enough: no "Disconnected" box after it
    netDisconnect();
  }
  DestroyWindow(P.window);
}

void storeAndQuit() {
  if (!IsIconic(P.window)) {
    RECT r;
    GetWindowRect(P.window, &r);
    writeWindowPlacement(TELNET_SETTINGS, {r.left, r.top, r.right - r.left, r.bottom - r.top, false});
  }
  regWriteInt(SETTING_TRANSPRINT, P.transPrint ? 1 : 0);
  SetCurrentDirectoryA(P.startDir.c_str());
  PostQuitMessage(0);
}

void startProgram(const std::string& command) {
  if (WinExec(command.c_str(), SW_SHOWNORMAL) < 32) messageBox(TXT_CANNOT_START, command.c_str(), MSG_OK | MSG_ICONEXCLAMATION);
}

void viewOptionsCommand() {
  ViewOptions before = P.view;
  if (!viewOptions(P.window, TELNET_SETTINGS, TELNET_STARTUP, &P.view)) return;
  if (before.toolbar != P.view.toolbar) toolbarShow(P.view.toolbar);
  if (before.statusbar != P.view.statusbar) statusBarShow(P.view.statusbar);
  if (before.toolbar != P.view.toolbar || before.statusbar != P.view.statusbar) {
    telnetLayout();
    sessionAttachDisplay();  // the text area moves by the toolbar's height
  }
}

void command(int id) {
  switch (id) {
    case CMD_NEW_WINDOW: startProgram(programDir() + "\\varnix32.exe"); break;
    case CMD_TELNETBOOK:
      // A host from the command line is connected to at once, and then forgotten.
      if (P.commandLineHost && !P.online && !netConnecting()) {
        P.commandLineHost = false;
        sessionConnect();
      } else {
        telnetBookCommand(P.window);
      }
      break;
    case CMD_QUICK_CONNECT: telnetQuickConnectCommand(P.window); break;
    case CMD_EXIT: exitWindow(); break;
    case CMD_VIEW_OPTIONS: viewOptionsCommand(); break;
    case CMD_RESET_TERM:
      emulatorReset();
      emulatorConnectionStart();
      netTransferEvents(false);
      break;
    case CMD_TELNET_COMMAND: telnetCommandDialog(P.window); break;
    case CMD_DISCONNECT: netDisconnect(); break;
    case CMD_HELP_CONTENTS: helpShowContents(P.window); break;
    case CMD_ABOUT: aboutBox(P.window); break;
    case CMD_MSDOS: startProgram(commandShellLine(getenv("COMSPEC"))); break;
    case CMD_SELECT_ALL: displaySelectAll(P.window); break;
    case CMD_COPY: copySelection(P.window); break;
    case CMD_TRANSMIT:
      if (P.online) transmitClipboard(P.window);
      break;
    case CMD_CLEAR_BUFFER: displayClearBuffer(P.window); break;
    case CMD_FIND: openFind(P.window); break;
    case CMD_KEYBOARD: openKeyMapEditor(P.window, bookEmulation(sessionEntry)); break;
    case CMD_PRINT_SETUP: printSetup(); break;
    case CMD_PRINT_BUFFER: printBuffer(); break;
    case CMD_COPY_PRINTER: printSelection(); break;
    case CMD_PRINT_LOGFILE: printLogfile(); break;
    case CMD_PRINT_TRANSPARENT: P.transPrint = transPrintToggle(); break;
    case CMD_CAPTURE: sessionCaptureCommand(); break;
    case CMD_TERMINAL_PREFS: sessionSettings(CONFIG_TERMINAL); break;
    case CMD_FONTS: sessionSettings(CONFIG_FONTS); break;
    case CMD_PROTOCOL: sessionSettings(CONFIG_PROTOCOLS); break;
    case CMD_COLOR: sessionSettings(CONFIG_COLOR); break;
    case CMD_DEFAULT_DIR: sessionSettings(CONFIG_DEFAULT_DIR); break;
    case CMD_RECEIVE:
    case CMD_SEND:
      if (P.online) sessionTransfer(id == CMD_SEND);
      break;
    case CMD_UNIX_TO_DOS: utilityUnixToDos(P.window); break;
    case CMD_DOS_TO_UNIX: utilityDosToUnix(P.window); break;
    case CMD_UUENCODE: utilityUuencode(P.window); break;
    case CMD_UUDECODE: utilityUudecode(P.window); break;
    case CMD_VIEW_JPEG_REALTIME: sessionToggleJpegRealtime(); break;
    case CMD_VIEW_JPEG_OFFLINE: feedViewOffline(); break;
    default:
      // Commands whose parts come with later versions of the program.
      messageBox(TXT_NOT_AVAILABLE, nullptr, MSG_OK | MSG_ICONINFORMATION);
      break;
  }
}
}  // namespace

void telnetLayout() {
  RECT r;
  GetClientRect(P.window, &r);
  toolbarLayout();
  statusBarLayout(r.right);
  screen.textTop = toolbarHeight();
  InvalidateRect(P.window, nullptr, TRUE);
}

bool telnetCreate(HWND window) {
  P.window = window;
  messageBoxSetOwner(window);
  splashShow(window, TELNET_TITLE, "Telnet and Rlogin terminal");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  if (netStartup() != 0) return false;
  SetWindowTextA(window, TELNET_TITLE);

  setProgramDir(findProgramDir());
  helpInit(programDir().c_str(), TELNET_HELP_CHM, TELNET_HELP_HLP);
  P.viewerCommand = programDir() + "\\sorlin32.exe 0";
  P.firewallScript = programDir() + "\\pxtel.txt";
  readProgramDirectory(SETTING_DOWNLOAD, DOWNLOAD_SUBDIR);
  readProgramDirectory(SETTING_SESSION, SESSION_SUBDIR);
  P.view = viewOptionsRead(TELNET_SETTINGS, TELNET_STARTUP);
  P.transPrint = readFlag(SETTING_TRANSPRINT, TRANSPRINT_DEFAULT);
  printAttachWindow(window, WM_NET_SOCKET, CMD_CAPTURE, CMD_PRINT_TRANSPARENT);
  setTransparentPrintEnabled(P.transPrint);
  P.scrollLines = readScrollLines();
  if (P.scrollLines > MAX_CAPACITY) P.scrollLines = MAX_CAPACITY;
  sessionTerminalStart(P.scrollLines);
  bookLoadTemplate();
  sessionConfigAttach();

  statusBarCreate(window);
  statusBarText(2, "Offline");
  statusBarText(1, localAddress().c_str());
  statusBarText(3, "00:00:00");
  toolbarCreate(window, "TELNETTOOLBAR", TOOL_BUTTONS, static_cast<int>(sizeof TOOL_BUTTONS / sizeof TOOL_BUTTONS[0]));
  if (!P.view.toolbar) toolbarShow(false);
  if (!P.view.statusbar) statusBarShow(false);
  sessionInit();
  sessionMenus(false);
  sessionEntry = templateEntry;
  sessionAttachDisplay();

  if (P.commandLineHost) {
    int used = sessionForCommandLine(P.commandLine, sessionEntry);
    if (used < 0) messageBox(TXT_ENTRY_DAMAGED, P.commandLine.host, MSG_OK | MSG_ICONEXCLAMATION);
  }
  sessionTransferOptions();
  telnetLayout();
  if (P.view.startup == TELNET_STARTUP.book) PostMessageA(window, WM_COMMAND, CMD_TELNETBOOK, 0);
  else if (P.view.startup == TELNET_STARTUP.connect) PostMessageA(window, WM_COMMAND, CMD_QUICK_CONNECT, 0);
  return true;
}

HWND telnetCurrentModeless() {
  if (HWND progress = netProgressWindow()) return progress;
  if (P.scriptDialog) return P.scriptDialog;
  if (HWND transfer = transferDialog()) return transfer;
  return findDialog();
}

LRESULT CALLBACK telnetWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (netHandleMessage(w, m, wp, lp)) return 0;
  switch (m) {
    case WM_ERASEBKGND: {
      // A flat toolbar shows the parent's background; the terminal paints its own.
      RECT r;
      GetClientRect(w, &r);
      r.bottom = toolbarHeight();
      FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_CREATE:
      if (!telnetCreate(w)) return -1;
      return 0;
    case WM_COMMAND:
      command(LOWORD(wp));
      return 0;
    case WM_MENUSELECT:
      menuHintSelect(wp, lp);
      return 0;
    case WM_NOTIFY:
      if (toolbarNotify(lp)) return 0;
      break;
    case WM_TIMER:
      if (wp == TIMER_CLOCK) sessionClockTick();
      return 0;
    case WM_SIZE:
      telnetLayout();
      if (wp != SIZE_MINIMIZED) sessionPostRefit(true);
      return 0;
    case WM_TELNET_REFIT: {
      bool fromResize = P.refitFromResize;
      P.refitFromResize = false;
      sessionRefit(fromResize);
      return 0;
    }
    case TRANSFER_DONE_MESSAGE:
      sessionTransferDone();
      return 0;
    case WM_TELNET_SCRIPT_DONE:
      sessionScriptDone(wp);
      return 0;
    case WM_CLOSE:
      exitWindow();
      return 0;
    case WM_QUERYENDSESSION:
      if (P.online && P.view.warnClose) {
        MessageBeep(0);
        messageBox(TXT_HANG_UP_FIRST, nullptr, MSG_OK | MSG_ICONSTOP);
        return FALSE;
      }
      if (P.online) netDisconnect();
      return TRUE;
    case WM_ENDSESSION:
      // The session ends with the program: the geometry is stored as at any exit.
      if (wp) DestroyWindow(w);
      return 0;
    case WM_DESTROY:
      storeAndQuit();
      return 0;
    default: {
      // Painting, scrolling, selection and keys belong to the terminal display.
      LRESULT result = 0;
      if (displayMessage(w, m, wp, lp, &result)) return result;
      break;
    }
  }
  return DefWindowProcA(w, m, wp, lp);
}

int telnetMain(HINSTANCE instance, const char* line) {
  P.instance = instance;
  char current[MAX_PATH] = ".";
  GetCurrentDirectoryA(sizeof current, current);
  P.startDir = current;
  if (parseCommandLine(line, &P.commandLine) != 0) {
    MessageBoxA(nullptr, COMMAND_LINE_ERROR, "Error", MB_OK | MB_ICONERROR);
    return 1;
  }
  P.commandLineHost = P.commandLine.host[0] != '\0';

  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;  // a double click selects a word
  wc.lpfnWndProc = telnetWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, "Telnet");
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszMenuName = "TELNETMENU";
  wc.lpszClassName = TELNET_CLASS;
  if (!RegisterClassA(&wc)) return 1;

  WindowPlacement place = readWindowPlacement(TELNET_SETTINGS);
  // A stored size no screen could show is as good as none.
  if (place.width > 16384 || place.height > 16384 || place.left < -16384 || place.left > 16384 ||
      place.top < -16384 || place.top > 16384)
    place.systemDefault = true;
  if (place.systemDefault) place = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, true};
  HACCEL accelerators = LoadAcceleratorsA(instance, "TELNETMENU");
  HWND window = CreateWindowA(TELNET_CLASS, TELNET_TITLE, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place.left,
                              place.top, place.width, place.height, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    HWND modeless = telnetCurrentModeless();
    if (modeless && IsDialogMessageA(modeless, &msg)) continue;
    if (accelerators && TranslateAcceleratorA(window, accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  WSACleanup();
  helpShutdown();
  return static_cast<int>(msg.wParam);
}
