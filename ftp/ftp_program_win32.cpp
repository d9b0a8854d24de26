// The FTP program as the frame runs it: its names, menu identifiers, toolbar,
// start-up choices, the FTP entry and the FTP line, and its own steps (the
// host of the command line, the FTP book and Quick Connect, the sheet over
// the FTP entry, the transfer settings of the Settings menu).
#include "ftp/ftp_program_win32.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "frame/frame_session.h"
#include "frame/frame_texts.h"
#include "ftp/ftp_connection.h"
#include "ftp/ftp_help.h"
#include "ftp/ftp_ids.h"
#include "ftp/ftp_session.h"
#include "ftp/ftp_window_ids.h"
#include "ftp/ftp_window_win32.h"
#include "ftp/system_type.h"
#include "shell/book_dialog_win32.h"
#include "shell/config_pages.h"
#include "shell/host_command_line.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/program_dir.h"
#include "shell/script_dialog_win32.h"
#include "shell/statusbar_win32.h"
#include "shell/toolbar_win32.h"

FtpEntry ftpSessionEntry;
FtpEntry ftpTemplateEntry;

namespace {
CommandLine commandLine{};
bool commandLineHost = false;

const ToolButton TOOL_BUTTONS[] = {
    {"Connect", QCMD_QUICK_CONNECT, "Make quick connection"},
    {"FTPbook", QCMD_FTPBOOK, "Open FTP addressbook"},
    {"Copy", QCMD_COPY, "Copy text to clipboard"},
    {"Find", QCMD_FIND, "Search text in scroll buffer"},
    {"FTP Box", QCMD_FTP_BOX, "Show FTP Dialogbox"},
    {"MS-DOS", QCMD_MSDOS, "Activate MS-DOS"},
    {"Disconnect", QCMD_DISCONNECT, "Disconnect from host"},
    {"Exit", QCMD_EXIT, "Exit from program"},
    {"Help", QCMD_HELP_CONTENTS, "Help"},
};
const int ONLINE_BUTTONS[] = {QCMD_DISCONNECT};
const int OFFLINE_BUTTONS[] = {QCMD_FTPBOOK, QCMD_QUICK_CONNECT};

const FrameCommandMap COMMANDS[] = {
    {QCMD_NEW_WINDOW, FC_NEW_WINDOW, WHEN_ALWAYS},
    {QCMD_QUICK_CONNECT, FC_QUICK_CONNECT, WHEN_OFFLINE},
    {QCMD_FTPBOOK, FC_BOOK, WHEN_OFFLINE},
    {QCMD_PRINT_SETUP, FC_PRINT_SETUP, WHEN_ALWAYS},
    {QCMD_PRINT_BUFFER, FC_PRINT_BUFFER, WHEN_ALWAYS},
    {QCMD_PRINT_LOGFILE, FC_PRINT_LOGFILE, WHEN_ALWAYS},
    {QCMD_EXIT, FC_EXIT, WHEN_ALWAYS},
    {QCMD_COPY, FC_COPY, WHEN_ALWAYS},
    {QCMD_COPY_PRINTER, FC_COPY_PRINTER, WHEN_ALWAYS},
    {QCMD_SELECT_ALL, FC_SELECT_ALL, WHEN_ALWAYS},
    {QCMD_CLEAR_BUFFER, FC_CLEAR_BUFFER, WHEN_ALWAYS},
    {QCMD_FIND, FC_FIND, WHEN_ALWAYS},
    {QCMD_VIEW_OPTIONS, FC_VIEW_OPTIONS, WHEN_ALWAYS},
    {QCMD_FONTS, FC_FONTS, WHEN_ALWAYS},
    {QCMD_COLOR, FC_COLOR, WHEN_ALWAYS},
    {QCMD_DEFAULT_DIR, FC_DEFAULT_DIR, WHEN_ALWAYS},
    {QCMD_VIEW_JPEG_REALTIME, FC_VIEW_JPEG_REALTIME, WHEN_ALWAYS},
    {QCMD_VIEW_JPEG_OFFLINE, FC_VIEW_JPEG_OFFLINE, WHEN_ALWAYS},
    {QCMD_CAPTURE, FC_CAPTURE, WHEN_ALWAYS},
    {QCMD_DISCONNECT, FC_DISCONNECT, WHEN_ONLINE},
    {QCMD_HELP_CONTENTS, FC_HELP_CONTENTS, WHEN_ALWAYS},
    {QCMD_ABOUT, FC_ABOUT, WHEN_ALWAYS},
    {QCMD_MSDOS, FC_MSDOS, WHEN_ALWAYS},
};

// The system-type menu in the order of the types 0 to 7.
const int SYSTEM_COMMANDS[8] = {QCMD_SYSTEM_AUTO, QCMD_SYSTEM_UNIX, QCMD_SYSTEM_MACOS, QCMD_SYSTEM_NT,
                                QCMD_SYSTEM_NOVELL, QCMD_SYSTEM_VMS, QCMD_SYSTEM_VM, QCMD_SYSTEM_MVS};

// The entry file has no session directory: the log goes to "SESSION".
constexpr FieldSpec NO_SESSION_DIR{"sessionDir", 0, 0, FIELD_U8};

SessionProfile decode(const uint8_t* record) { return profileFromFtp(*reinterpret_cast<const FtpEntry*>(record)); }
int save(const uint8_t* record) {
  return ftpSaveEntry(*reinterpret_cast<const FtpEntry*>(record), TXT_ENTRY_SAVE_FAILED);
}
int loadTemplate() { return ftpLoadTemplate(ftpTemplateEntry); }

bool busy() { return frameSession.state != FrameState::Offline; }

// --- the FTP book -------------------------------------------------------------

void reloadTemplate() { ftpLoadTemplate(ftpTemplateEntry); }
int validate(const uint8_t*) { return 0; }
int saveFromBook(const uint8_t* record) {
  return ftpSaveEntry(*reinterpret_cast<const FtpEntry*>(record), TXT_ENTRY_CREATE_FAILED);
}
int editEntry(HWND owner, uint8_t* record, bool newEntry) {
  return ftpSettingsSheet(owner, reinterpret_cast<FtpEntry*>(record), CONFIG_GENERAL, newEntry);
}

const BookEnv& ftpBook() {
  static BookEnv env = {
      {&FTP_BOOK, ftpField::address, ftpField::port},
      "FTPbook",
      ftpSessionEntry.bytes,
      ftpTemplateEntry.bytes,
      reloadTemplate,
      validate,
      saveFromBook,
      busy,
      editEntry,
      &HELP_FTP_BOOK,
      &HELP_FTP_COPY,
      &HELP_FTP_QUICK_CONNECT,
      true,
  };
  return env;
}

void connectWith(bool login) {
  ftpLineSetLogin(login);
  frameOpenSession();
}

void book(HWND owner) {
  // A host from the command line is connected to at once, and then forgotten.
  if (commandLineHost) {
    commandLineHost = false;
    connectWith(true);
    return;
  }
  int chosen = bookDialog(owner, ftpBook());
  if (chosen != 0 && !busy()) connectWith(chosen == 1);
}

void quickConnect(HWND owner) {
  if (busy()) return;
  // An existing entry of that name keeps its settings (its user and saved
  // password too): only the host and the port typed change.
  if (quickConnectDialog(owner, ftpBook()) != 0) connectWith(true);
}

// --- the engine's window hooks -----------------------------------------------

void statusLine(const char* text) {
  std::string line = std::string(text) + "\r\n";
  ftpHooks.writeSession(line.c_str(), static_cast<int>(line.size()));
}
void remoteSystem(const char* text) { statusBarText(3, text); }
void message(const char* text, const char* title) {
  MessageBoxA(frameWindow(), text, title && !strcmp(title, "error") ? "Error" : title, MB_OK | MB_ICONEXCLAMATION);
}
void beep() { MessageBeep(0); }
bool askUser(char* name, int size) { return ftpAskUser(frameWindow(), name, size); }
// The firewall script's $PASS has the script's own PASSWORD dialog; the
// login's password has USERNAME, with its "Save Password".
bool askPassword(char* password, int size, bool* saveIt) {
  if (!ftpLineInFirewallScript()) return ftpAskPassword(frameWindow(), password, size, saveIt);
  std::string typed;
  if (!scriptAskPassword(frameWindow(), &typed)) return false;
  snprintf(password, static_cast<size_t>(size), "%s", typed.c_str());
  return true;
}
bool askOpenFile(char* path, int size) {
  path[0] = '\0';
  OPENFILENAMEA of{};
  of.lStructSize = sizeof of;
  of.hwndOwner = frameWindow();
  of.lpstrFilter = "All files (*.*)\0*.*\0";
  of.lpstrFile = path;
  of.nMaxFile = static_cast<DWORD>(size);
  of.lpstrTitle = "Open File";
  of.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  return GetOpenFileNameA(&of) != 0;
}

void attachHooks() {
  ftpResetHooks();
  ftpHooks.status = statusLine;
  ftpHooks.statusBar = remoteSystem;
  ftpHooks.message = message;
  ftpHooks.beep = beep;
  ftpHooks.askUser = askUser;
  ftpHooks.askPassword = askPassword;
  ftpHooks.askOpenFile = askOpenFile;
  ftpWindowInstallHooks(frameWindow());
  ftpLineAttachHooks();
}

// --- the FTP window ----------------------------------------------------------

// The FTP window lies over the session view: the whole width, from below the
// toolbar to above the status bar.
RECT sessionArea() {
  RECT r;
  GetClientRect(frameWindow(), &r);
  r.top = toolbarHeight();
  r.bottom -= statusBarHeight();
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

void openFtpWindow() {
  if (ftp.busy || ftpWindowHandle()) return;
  if (ftpWindowOpen(frameWindow(), sessionArea()) != 0) return;
  // Above the session view's scroll bars, which share its area.
  SetWindowPos(ftpWindowHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void laidOut() {
  if (ftpWindowHandle()) ftpWindowResize(sessionArea());
}

// --- menus -------------------------------------------------------------------

void check(int id, bool on) {
  CheckMenuItem(GetMenu(frameWindow()), static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void showMarks() {
  // While connected the session's own flags, which the FTP window changes too.
  const uint8_t* r = ftpSessionEntry.bytes;
  bool session = ftp.connected;
  check(QCMD_BINARY, session ? ftp.binary : recordInt(r, ftpField::binary) != 0);
  check(QCMD_PASSIVE, session ? ftp.passive : recordInt(r, ftpField::passive) != 0);
  check(QCMD_RECOVER, session ? ftp.recover : recordInt(r, ftpField::recover) != 0);
  int type = ftpSystemType(ftpSessionEntry);
  for (int i = 0; i < 8; ++i) check(SYSTEM_COMMANDS[i], i == type);
}

void menusSwitched(bool online) {
  if (!online) ftpWindowDisconnected();
  EnableMenuItem(GetMenu(frameWindow()), QCMD_FTP_DIALOG, MF_BYCOMMAND | (online ? MF_ENABLED : MF_GRAYED));
  showMarks();
}

// The setting as it stands: the session's while connected (the FTP window
// changes it too), else the entry's.
void toggle(const FieldSpec& field, bool* sessionFlag) {
  bool current = ftp.connected ? *sessionFlag : recordInt(ftpSessionEntry.bytes, field) != 0;
  bool on = !current;
  recordSetInt(ftpSessionEntry.bytes, field, on ? 1 : 0);
  // The running session follows at once; the entry keeps it at disconnect.
  *sessionFlag = on;
  // The FTP window's boxes show the same two settings.
  if (HWND w = ftpWindowHandle()) {
    CheckDlgButton(w, IDC_FTP_BINARY, ftp.binary ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(w, IDC_FTP_RECOVER, ftp.recover ? BST_CHECKED : BST_UNCHECKED);
  }
  showMarks();
}

void setSystemType(int type) {
  recordSetInt(ftpSessionEntry.bytes, ftpField::systemType, type);
  ftp.fixedSystemType = type;
  showMarks();
  // Autodetect asks the server at once where the FTP window shows the listing.
  if (type == 0 && ftp.connected && !ftp.busy && ftpHooks.windowOpen()) QueryRemoteSystem();
}

bool ownCommand(int id) {
  switch (id) {
    case QCMD_FTP_DIALOG:
    case QCMD_FTP_BOX: openFtpWindow(); return true;
    case QCMD_BINARY: toggle(ftpField::binary, &ftp.binary); return true;
    case QCMD_PASSIVE: toggle(ftpField::passive, &ftp.passive); return true;
    case QCMD_RECOVER: toggle(ftpField::recover, &ftp.recover); return true;
    case QCMD_EMAIL: ftpEmailDialog(frameWindow()); return true;
  }
  for (int i = 0; i < 8; ++i)
    if (SYSTEM_COMMANDS[i] == id) {
      setSystemType(i);
      return true;
    }
  return false;
}

// --- start-up and the sheet --------------------------------------------------

void created(HWND) {
  attachHooks();
  ftpLineSetFirewallScript(programPath("pxftp.txt").c_str());
  ftpLineSetLoggedIn(openFtpWindow);
  if (commandLineHost) {
    int used = entryForCommandLine(commandLine, FTP_BOOK, ftpField::address, ftpField::port, ftpSessionEntry.bytes);
    if (used < 0) messageBox(TXT_ENTRY_DAMAGED, commandLine.host, MSG_OK | MSG_ICONEXCLAMATION);
  }
  showMarks();
  PostMessageA(frameWindow(), WM_COMMAND, QCMD_FTP_DIALOG, 0);
}

}  // namespace

int ftpReadCommandLine(const char* line) {
  if (parseCommandLine(line, &commandLine) != 0) {
    MessageBoxA(nullptr, COMMAND_LINE_ERROR, "Error", MB_OK | MB_ICONERROR);
    return -1;
  }
  commandLineHost = commandLine.host[0] != '\0';
  return 0;
}

const FrameProgram QUENDA32_PROGRAM = {
    "KELVRO32-FTP",
    "Kelvro32-FTP",
    "FTP client",
    false,
    "kelvroftp16",
    "File",
    nullptr,
    "quenda32.exe",
    FTP_HELP_CHM,
    FTP_HELP_HLP,
    "pxftp.txt",  // run by the FTP line itself; the sheet edits and checks it
    "ABOUTFTP",
    &FTP_SETTINGS,
    {BOOKBOX_FTP_BOOK, BOOKBOX_FTP_QUICKCONNECT, BOOKBOX_FTP_NONE, "FTPbook", nullptr},
    1,   // "Offline" or "%s is connected"
    2,   // the online time
    -1,  // no local address; part 3 names the remote system
    {25, 50, 75},
    "FTPTOOLBAR",
    TOOL_BUTTONS,
    static_cast<int>(sizeof TOOL_BUTTONS / sizeof TOOL_BUTTONS[0]),
    ONLINE_BUTTONS,
    static_cast<int>(sizeof ONLINE_BUTTONS / sizeof ONLINE_BUTTONS[0]),
    OFFLINE_BUTTONS,
    static_cast<int>(sizeof OFFLINE_BUTTONS / sizeof OFFLINE_BUTTONS[0]),
    COMMANDS,
    static_cast<int>(sizeof COMMANDS / sizeof COMMANDS[0]),
    &FTP_CONNECTION,
    {ftpSessionEntry.bytes, ftpTemplateEntry.bytes, FTP_ENTRY_SIZE, decode, loadTemplate, save, &ftpField::name,
     &ftpField::sessionCapture, &ftpField::viewJpegRealtime, &NO_SESSION_DIR, &ftpField::downloadDir},
    created,
    book,
    quickConnect,
    &QUENDA32_SHEET,
    true,
    ownCommand,
    menusSwitched,
    laidOut,
};
