// The Telnet program as the frame runs it: its names, menu identifiers,
// toolbar, start-up choices, record and line, and its own steps (the host of
// the command line, the Telnetbook and Quick Connect, the sheet over the
// Telnet entry).
#include "telnet/telnet_program_win32.h"


#include "frame/frame_texts.h"
#include "shell/book_entry.h"
#include "frame/config_sheet_win32.h"
#include "shell/help_topics.h"
#include "shell/message_box.h"
#include "telnet/command_line.h"
#include "telnet/session_entry_file.h"
#include "telnet/telnet_connection.h"
#include "telnet/telnet_ids.h"
#include "telnet/telnetbook_win32.h"

namespace {
CommandLine commandLine{};
bool commandLineHost = false;

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
const int ONLINE_BUTTONS[] = {CMD_RECEIVE, CMD_TRANSMIT, CMD_SEND, CMD_DISCONNECT};
const int OFFLINE_BUTTONS[] = {CMD_TELNETBOOK, CMD_QUICK_CONNECT};

const FrameCommandMap COMMANDS[] = {
    {CMD_NEW_WINDOW, FC_NEW_WINDOW, WHEN_ALWAYS},
    {CMD_QUICK_CONNECT, FC_QUICK_CONNECT, WHEN_OFFLINE},
    {CMD_TELNETBOOK, FC_BOOK, WHEN_OFFLINE},
    {CMD_PRINT_SETUP, FC_PRINT_SETUP, WHEN_ALWAYS},
    {CMD_PRINT_BUFFER, FC_PRINT_BUFFER, WHEN_ALWAYS},
    {CMD_PRINT_LOGFILE, FC_PRINT_LOGFILE, WHEN_ALWAYS},
    {CMD_PRINT_TRANSPARENT, FC_PRINT_TRANSPARENT, WHEN_ALWAYS},
    {CMD_EXIT, FC_EXIT, WHEN_ALWAYS},
    {CMD_COPY, FC_COPY, WHEN_ALWAYS},
    {CMD_TRANSMIT, FC_TRANSMIT, WHEN_ONLINE},
    {CMD_COPY_PRINTER, FC_COPY_PRINTER, WHEN_ALWAYS},
    {CMD_SELECT_ALL, FC_SELECT_ALL, WHEN_ALWAYS},
    {CMD_CLEAR_BUFFER, FC_CLEAR_BUFFER, WHEN_ALWAYS},
    {CMD_FIND, FC_FIND, WHEN_ALWAYS},
    {CMD_VIEW_OPTIONS, FC_VIEW_OPTIONS, WHEN_ALWAYS},
    {CMD_TERMINAL_PREFS, FC_TERMINAL_PREFS, WHEN_ALWAYS},
    {CMD_FONTS, FC_FONTS, WHEN_ALWAYS},
    {CMD_PROTOCOL, FC_PROTOCOL, WHEN_ALWAYS},
    {CMD_KEYBOARD, FC_KEYBOARD, WHEN_ALWAYS},
    {CMD_COLOR, FC_COLOR, WHEN_ALWAYS},
    {CMD_DEFAULT_DIR, FC_DEFAULT_DIR, WHEN_ALWAYS},
    {CMD_RESET_TERM, FC_RESET_TERM, WHEN_ONLINE},
    {CMD_VIEW_JPEG_REALTIME, FC_VIEW_JPEG_REALTIME, WHEN_ALWAYS},
    {CMD_VIEW_JPEG_OFFLINE, FC_VIEW_JPEG_OFFLINE, WHEN_ALWAYS},
    {CMD_UUENCODE, FC_UUENCODE, WHEN_ALWAYS},
    {CMD_UUDECODE, FC_UUDECODE, WHEN_ALWAYS},
    {CMD_UNIX_TO_DOS, FC_UNIX_TO_DOS, WHEN_ALWAYS},
    {CMD_DOS_TO_UNIX, FC_DOS_TO_UNIX, WHEN_ALWAYS},
    {CMD_RECEIVE, FC_RECEIVE, WHEN_ONLINE},
    {CMD_SEND, FC_SEND, WHEN_ONLINE},
    {CMD_CAPTURE, FC_CAPTURE, WHEN_ALWAYS},
    {CMD_TELNET_COMMAND, FC_SPECIAL_TELNET_COMMAND, WHEN_ONLINE},
    {CMD_DISCONNECT, FC_DISCONNECT, WHEN_ONLINE},
    {CMD_HELP_CONTENTS, FC_HELP_CONTENTS, WHEN_ALWAYS},
    {CMD_ABOUT, FC_ABOUT, WHEN_ALWAYS},
    {CMD_MSDOS, FC_MSDOS, WHEN_ALWAYS},
};

// The frame hands back the bytes of the program's own record.
SessionProfile decode(const uint8_t* record) { return profileFromBook(*reinterpret_cast<const BookEntry*>(record)); }

// A quick connection built on a saved entry leaves its file as the user saved it.
int save(const uint8_t*) { return sessionEntrySaveBack(); }

int loadTemplate() { return bookLoadTemplate(); }

void created(HWND) {
  if (!commandLineHost) return;
  int used = sessionForCommandLine(commandLine, sessionEntry);
  if (used < 0) messageBox(TXT_ENTRY_DAMAGED, commandLine.host, MSG_OK | MSG_ICONEXCLAMATION);
}

void book(HWND owner) {
  // A host from the command line is connected to at once, and then forgotten.
  if (commandLineHost) {
    commandLineHost = false;
    frameOpenSession();
    return;
  }
  telnetBookCommand(owner);
}
}  // namespace

int telnetReadCommandLine(const char* line) {
  if (parseCommandLine(line, &commandLine) != 0) {
    MessageBoxA(nullptr, COMMAND_LINE_ERROR, "Error", MB_OK | MB_ICONERROR);
    return -1;
  }
  commandLineHost = commandLine.host[0] != '\0';
  return 0;
}

const FrameProgram VARNIX32_PROGRAM = {
    "KELVRO32-TELNET",
    "Kelvro32-Telnet",
    "Telnet and Rlogin terminal",
    true,
    "Telnet",
    "TELNETMENU",
    "TELNETMENU",
    "varnix32.exe",
    TELNET_HELP_CHM,
    TELNET_HELP_HLP,
    "pxtel.txt",
    "ABOUTTELNET",
    &TELNET_SETTINGS,
    {BOOKBOX_TELNETBOOK, BOOKBOX_QUICKCONNECT, BOOKBOX_NONE, nullptr, nullptr},
    2,  // "Offline" or "%s is connected"
    3,  // the online time
    1,  // "Local IP:%s"
    {25, 50, 75},
    "TELNETTOOLBAR",
    TOOL_BUTTONS,
    static_cast<int>(sizeof TOOL_BUTTONS / sizeof TOOL_BUTTONS[0]),
    ONLINE_BUTTONS,
    static_cast<int>(sizeof ONLINE_BUTTONS / sizeof ONLINE_BUTTONS[0]),
    OFFLINE_BUTTONS,
    static_cast<int>(sizeof OFFLINE_BUTTONS / sizeof OFFLINE_BUTTONS[0]),
    COMMANDS,
    static_cast<int>(sizeof COMMANDS / sizeof COMMANDS[0]),
    &TELNET_CONNECTION,
    {sessionEntry.bytes, templateEntry.bytes, BOOK_ENTRY_SIZE, decode, loadTemplate, save, &bookField::name,
     &bookField::sessionCapture, &bookField::viewJpegRealtime, &bookField::sessionDir, &bookField::downloadDir},
    created,
    book,
    telnetQuickConnectCommand,
    &TELNET_SHEET,
    nullptr,
};
