// The main window of a terminal program from start to exit: window class and
// geometry, the creation steps in their fixed order, the message loop with
// its modeless routing, the window procedure, and the close rules with the
// geometry stored at the end.
#include <windows.h>
#include <commctrl.h>
#include <winsock.h>

#include <cstdio>
#include <cstring>

#include "frame/frame_internal_win32.h"
#include "frame/frame_session.h"
#include "frame/frame_texts.h"
#include "shell/help_win32.h"
#include "shell/message_box.h"
#include "shell/message_box_win32.h"
#include "shell/net_address.h"
#include "shell/program_dir.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "shell/splash_win32.h"
#include "shell/statusbar_win32.h"
#include "shell/window_win32.h"
#include "shell/toolbar_win32.h"
#include "terminal/display_win32.h"
#include "terminal/print_win32.h"
#include "terminal/screen.h"
#include "terminal/transparent_print.h"
#include "transfer/transfer_dialog_ids.h"
#include "transfer/transfer_dialog_win32.h"

FrameWindow frameWin;

namespace {
FrameWindow& W = frameWin;

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

void storeAndQuit() {
  if (!IsIconic(W.window)) {
    RECT r;
    GetWindowRect(W.window, &r);
    writeWindowPlacement(*W.program->settings, {r.left, r.top, r.right - r.left, r.bottom - r.top, false});
  }
  regWriteInt(SETTING_TRANSPRINT, W.transPrint ? 1 : 0);
  SetCurrentDirectoryA(W.startDir.c_str());
  PostQuitMessage(0);
}

bool create(HWND window) {
  const FrameProgram& P = *W.program;
  W.window = window;
  messageBoxSetOwner(window);
  splashShow(window, P.title, P.subtitle);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  WSADATA data;
  // Both lines need Windows Sockets: the address texts and the Telnet line.
  if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
    messageBoxTitled(0, NET_TEXT_STARTUP, "Error", MB_ICONERROR);
    return false;
  }
  SetWindowTextA(window, P.title);

  setProgramDir(findProgramDir());
  helpInit(programDir().c_str(), P.helpChm, P.helpHlp);
  W.firewallScript = P.firewallScript ? programDir() + "\\" + P.firewallScript : std::string();
  readProgramDirectory(SETTING_DOWNLOAD, DOWNLOAD_SUBDIR);
  readProgramDirectory(SETTING_SESSION, SESSION_SUBDIR);
  W.view = viewOptionsRead(*P.settings, P.startup);
  W.transPrint = readFlag(SETTING_TRANSPRINT, TRANSPRINT_DEFAULT);
  framePrintAttach();
  setTransparentPrintEnabled(W.transPrint);
  W.scrollLines = readScrollLines();
  if (W.scrollLines > MAX_CAPACITY) W.scrollLines = MAX_CAPACITY;
  if (frameTerminalStart(W.scrollLines) < 0) return false;
  P.record.loadTemplate();
  frameSheetAttach();

  statusBarCreate(window);
  if (P.addressPane >= 0) statusBarText(P.addressPane, frameLocalAddress().c_str());
  toolbarCreate(window, P.toolbarBitmap, P.toolButtons, P.toolButtonCount);
  if (!W.view.toolbar) toolbarShow(false);
  if (!W.view.statusbar) statusBarShow(false);
  frameReset(P.connection, P.record.session);
  frameTransferInit();
  frameStartOffline();
  memcpy(P.record.session, P.record.templateRecord, P.record.size);
  frameSession.profile = P.record.decode(P.record.session);
  frameAttachDisplay();
  P.created(window);
  frameTransferOptions();
  frameLayout();
  if (W.view.startup == P.startup.book) PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(frameCommandId(FC_BOOK)), 0);
  else if (W.view.startup == P.startup.connect)
    PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(frameCommandId(FC_QUICK_CONNECT)), 0);
  return true;
}

HWND currentModeless() {
  if (HWND line = reinterpret_cast<HWND>(frameSession.connection->modeless())) return line;
  if (W.scriptDialog) return W.scriptDialog;
  if (HWND transfer = transferDialog()) return transfer;
  return findDialog();
}

LRESULT CALLBACK windowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (W.window && frameSession.connection->message(m, wp, lp)) return 0;
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
      if (!create(w)) return -1;
      return 0;
    case WM_COMMAND:
      frameCommand(LOWORD(wp));
      return 0;
    case WM_MENUSELECT:
      menuHintSelect(wp, lp);
      return 0;
    case WM_NOTIFY:
      if (toolbarNotify(lp)) return 0;
      break;
    case WM_TIMER:
      if (wp == FRAME_TIMER_CLOCK) frameClockTick();
      return 0;
    case WM_SIZE:
      frameLayout();
      if (wp != SIZE_MINIMIZED) framePostRefit(true);
      return 0;
    case WM_FRAME_REFIT: {
      bool fromResize = W.refitFromResize;
      W.refitFromResize = false;
      frameRefit(fromResize);
      return 0;
    }
    case TRANSFER_DONE_MESSAGE:
      frameTransferDone();
      return 0;
    case WM_FRAME_SCRIPT_DONE:
      frameScriptDone(wp);
      return 0;
    case WM_CLOSE:
      frameExit();
      return 0;
    case WM_QUERYENDSESSION:
      if (frameOnline() && W.view.warnClose) {
        MessageBeep(0);
        messageBox(TXT_HANG_UP_FIRST, nullptr, MSG_OK | MSG_ICONSTOP);
        return FALSE;
      }
      if (frameOnline()) frameClose();
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
}  // namespace

void frameExit() {
  if (frameOnline()) {
    if (W.view.warnClose) {
      MessageBeep(0);
      if (MessageBoxA(W.window, messageText(TXT_STILL_CONNECTED), MESSAGE_TITLE, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    }
    W.exiting = true;
    frameClose();
  }
  DestroyWindow(W.window);
}

void frameLayout() {
  RECT r;
  GetClientRect(W.window, &r);
  toolbarLayout();
  statusBarLayout(r.right, W.program->statusEdges);
  screen.textTop = toolbarHeight();
  InvalidateRect(W.window, nullptr, TRUE);
  if (W.program->laidOut) W.program->laidOut();
}

HWND frameWindow() { return W.window; }
const FrameProgram& frameProgram() { return *W.program; }
const char* frameCommandLine() { return W.commandLine.c_str(); }

std::string frameLocalAddress() {
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

int frameMain(HINSTANCE instance, const char* line, const FrameProgram& program) {
  W.program = &program;
  W.instance = instance;
  W.commandLine = line ? line : "";
  char current[MAX_PATH] = ".";
  GetCurrentDirectoryA(sizeof current, current);
  W.startDir = current;
  // CS_DBLCLKS: a double click selects a word.
  if (!registerWindowClass(instance, program.windowClass, windowProc, program.icon, program.menu,
                           static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), CS_DBLCLKS))
    return 1;

  WindowPlacement place = readWindowPlacement(*program.settings);
  // A stored size no screen could show is as good as none.
  if (place.width > 16384 || place.height > 16384 || place.left < -16384 || place.left > 16384 ||
      place.top < -16384 || place.top > 16384)
    place.systemDefault = true;
  if (place.systemDefault) place = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, true};
  HACCEL accelerators = program.accelerators ? LoadAcceleratorsA(instance, program.accelerators) : nullptr;
  HWND window = CreateWindowA(program.windowClass, program.title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              place.left, place.top, place.width, place.height, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    HWND modeless = currentModeless();
    if (modeless && IsDialogMessageA(modeless, &msg)) continue;
    if (accelerators && TranslateAcceleratorA(window, accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  WSACleanup();
  helpShutdown();
  return static_cast<int>(msg.wParam);
}
