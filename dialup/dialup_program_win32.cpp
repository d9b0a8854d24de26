// The dial-up program as the frame runs it: its names, menu identifiers,
// toolbar, start-up choices, the phone entry and the serial line. Entries
// named on the command line ("NAME" for NAME.phn in the program directory)
// are opened at start-up: a direct line at once, modem entries dialed.
#include "dialup/dialup_program_win32.h"

#include <cstring>
#include <string>
#include <vector>

#include "dialup/dialup_help.h"
#include "dialup/dialup_ids.h"
#include "dialup/modem_dialogs_win32.h"
#include "dialup/phonebook_win32.h"
#include "dialup/serial_connection.h"
#include "frame/frame_texts.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "frame/frame_session.h"
#include "shell/phone_entry.h"
#include "shell/program_dir.h"

namespace {
PhoneEntry phoneSession;
PhoneEntry phoneTemplate;

const ToolButton TOOL_BUTTONS[] = {
    {"Phonebook", DCMD_PHONEBOOK, "Open phonebook"},
    {"Copy", DCMD_COPY, "Copy to clipboard"},
    {"Paste", DCMD_TRANSMIT, "Send clipboard data to host"},
    {"Find", DCMD_FIND, "Search text in scroll buffer"},
    {"Receive", DCMD_RECEIVE, "Download file(s)"},
    {"Send", DCMD_SEND, "Upload file(s)"},
    {"MS-DOS", DCMD_MSDOS, "Activate MS-DOS"},
    {"Hangup", DCMD_HANGUP, "Hang up the line"},
    {"Exit", DCMD_EXIT, "Exit from program"},
    {"Help", DCMD_HELP_CONTENTS, "Help"},
};
const int ONLINE_BUTTONS[] = {DCMD_RECEIVE, DCMD_TRANSMIT, DCMD_SEND, DCMD_HANGUP};
const int OFFLINE_BUTTONS[] = {DCMD_PHONEBOOK};

// The script commands come with later versions: their entries say so.
const FrameCommandMap COMMANDS[] = {
    {DCMD_NEW_WINDOW, FC_NEW_WINDOW, WHEN_ALWAYS},
    {DCMD_PHONEBOOK, FC_BOOK, WHEN_OFFLINE},
    {DCMD_PRINT_SETUP, FC_PRINT_SETUP, WHEN_ALWAYS},
    {DCMD_PRINT_BUFFER, FC_PRINT_BUFFER, WHEN_ALWAYS},
    {DCMD_PRINT_LOGFILE, FC_PRINT_LOGFILE, WHEN_ALWAYS},
    {DCMD_PRINT_TRANSPARENT, FC_PRINT_TRANSPARENT, WHEN_ALWAYS},
    {DCMD_EXIT, FC_EXIT, WHEN_ALWAYS},
    {DCMD_COPY, FC_COPY, WHEN_ALWAYS},
    {DCMD_TRANSMIT, FC_TRANSMIT, WHEN_ONLINE},
    {DCMD_SELECT_ALL, FC_SELECT_ALL, WHEN_ALWAYS},
    {DCMD_CLEAR_BUFFER, FC_CLEAR_BUFFER, WHEN_ALWAYS},
    {DCMD_FIND, FC_FIND, WHEN_ALWAYS},
    {DCMD_COPY_PRINTER, FC_COPY_PRINTER, WHEN_ALWAYS},
    {DCMD_VIEW_OPTIONS, FC_VIEW_OPTIONS, WHEN_ALWAYS},
    {DCMD_MODEM_SETTING, FC_PROGRAM, WHEN_ALWAYS},
    {DCMD_COMM_PARAMETERS, FC_SPECIAL_COMM_PARAMETERS, WHEN_ONLINE},
    {DCMD_TERMINAL_PREFS, FC_TERMINAL_PREFS, WHEN_ALWAYS},
    {DCMD_FONTS, FC_FONTS, WHEN_ALWAYS},
    {DCMD_PROTOCOL, FC_PROTOCOL, WHEN_ALWAYS},
    {DCMD_COLOR, FC_COLOR, WHEN_ALWAYS},
    {DCMD_DEFAULT_DIR, FC_DEFAULT_DIR, WHEN_ALWAYS},
    {DCMD_KEYBOARD, FC_KEYBOARD, WHEN_ALWAYS},
    {DCMD_RESET_TERM, FC_RESET_TERM, WHEN_ONLINE},
    {DCMD_VIEW_JPEG_REALTIME, FC_VIEW_JPEG_REALTIME, WHEN_ALWAYS},
    {DCMD_VIEW_JPEG_OFFLINE, FC_VIEW_JPEG_OFFLINE, WHEN_ALWAYS},
    {DCMD_UUENCODE, FC_UUENCODE, WHEN_ALWAYS},
    {DCMD_UUDECODE, FC_UUDECODE, WHEN_ALWAYS},
    {DCMD_UNIX_TO_DOS, FC_UNIX_TO_DOS, WHEN_ALWAYS},
    {DCMD_DOS_TO_UNIX, FC_DOS_TO_UNIX, WHEN_ALWAYS},
    {DCMD_RECEIVE, FC_RECEIVE, WHEN_ONLINE},
    {DCMD_SEND, FC_SEND, WHEN_ONLINE},
    {DCMD_SCRIPT_EDIT, FC_SCRIPT_EDIT, WHEN_ALWAYS},
    {DCMD_SCRIPT_EXECUTE, FC_SCRIPT_EXECUTE, WHEN_OFFLINE},
    {DCMD_SCRIPT_CHECK, FC_SCRIPT_CHECK, WHEN_ALWAYS},
    {DCMD_MODEM_PORT, FC_PROGRAM, WHEN_OFFLINE},
    {DCMD_COMM_STATUS, FC_SPECIAL_COMM_STATUS, WHEN_ONLINE},
    {DCMD_BREAK, FC_SPECIAL_BREAK, WHEN_ONLINE},
    {DCMD_MSDOS, FC_MSDOS, WHEN_ALWAYS},
    {DCMD_ANSWER, FC_SPECIAL_ANSWER, WHEN_ONLINE},
    {DCMD_CHAT, FC_SPECIAL_CHAT, WHEN_ALWAYS},
    {DCMD_CAPTURE, FC_CAPTURE, WHEN_ALWAYS},
    {DCMD_HANGUP, FC_DISCONNECT, WHEN_ONLINE},
    {DCMD_HELP_CONTENTS, FC_HELP_CONTENTS, WHEN_ALWAYS},
    {DCMD_ABOUT, FC_ABOUT, WHEN_ALWAYS},
};

// The frame hands back the bytes of the program's own record.
SessionProfile decode(const uint8_t* record) { return profileFromPhone(*reinterpret_cast<const PhoneEntry*>(record)); }

int save(const uint8_t* record) { return phoneSaveEntry(*reinterpret_cast<const PhoneEntry*>(record)); }

int loadTemplate() { return phoneLoadTemplate(phoneTemplate); }

// The entry names of the command line, blank-separated, quotes dropped.
std::vector<std::string> commandLineNames() {
  std::vector<std::string> names;
  std::string name;
  for (const char* p = frameCommandLine();; ++p) {
    if (*p == '"') continue;
    if (*p == ' ' || *p == '\0') {
      if (!name.empty()) names.push_back(name);
      name.clear();
      if (*p == '\0') break;
      continue;
    }
    name += *p;
  }
  return names;
}

// An entry named on the command line becomes the session's entry: a direct
// line opens at once, a modem entry is dialed. Several names are dialed in
// turn, as the phonebook's sequential dialing does.
void created(HWND window) {
  const std::vector<std::string> names = commandLineNames();
  if (names.empty()) return;
  PhoneEntry entry = phoneSession;
  if (phoneLoadEntry(names[0].c_str(), entry) != static_cast<int>(PHONE_ENTRY_SIZE)) {
    messageBox(TXT_ENTRY_DAMAGED, names[0].c_str(), MSG_OK | MSG_ICONEXCLAMATION);
    return;
  }
  phoneSession = entry;
  if (profileFromPhone(phoneSession).phoneType != PHONE_TYPE_NONE)
    serialDialNext(names.size() > 1 ? names : std::vector<std::string>(), false);
  SetTimer(window, SERIAL_TIMER_DIRECT_OPEN, SERIAL_DIRECT_OPEN_MS, nullptr);
}

void notYet(HWND) { messageBox(TXT_NOT_AVAILABLE, nullptr, MSG_OK | MSG_ICONINFORMATION); }

bool portOpen() { return frameSession.state != FrameState::Offline; }

// The phonebook's Dial: the chosen entry (the first of a batch dial list)
// opens on timer 3, a direct line at once, a modem entry through the dial
// dialog; with Autolog the entry's script runs once connected.
void book(HWND owner) {
  static const PhonebookEnv env = {&phoneSession, &phoneTemplate, portOpen};
  const int mode = phonebookDialog(owner, env);
  if (mode == PHONEBOOK_NOTHING) return;
  const bool autolog = mode == PHONEBOOK_AUTOLOG;
  if (profileFromPhone(phoneSession).phoneType == PHONE_TYPE_NONE) {
    const std::string script = programPath(recordText(phoneSession.bytes, phoneField::name) + ".scr");
    if (autolog) frameSetSessionScript(script);
  } else {
    // The dial list holds 64 bytes a name, each up to its first NUL.
    std::vector<std::string> list;
    const std::vector<uint8_t>& names = phonebookDialList();
    for (size_t at = 0; at + 64 <= names.size(); at += 64) {
      const char* name = reinterpret_cast<const char*>(names.data() + at);
      list.emplace_back(name, strnlen(name, 64));
    }
    serialDialNext(list, autolog);
  }
  SetTimer(frameWindow(), SERIAL_TIMER_DIRECT_OPEN, SERIAL_DIRECT_OPEN_MS, nullptr);
}

bool ownCommand(int id) {
  if (id == DCMD_MODEM_SETTING) modemSettingDialog(frameWindow(), phoneSession);
  else if (id == DCMD_MODEM_PORT) modemSearchDialog(frameWindow());
  else return false;
  return true;
}
}  // namespace

const FrameProgram KELVRO32_PROGRAM = {
    "KELVRO32",
    "Kelvro32-Dialup",
    "Dial-up terminal",
    false,
    "KELVRO",
    "File",
    nullptr,
    "kelvro32.exe",
    DIALUP_HELP_CHM,
    DIALUP_HELP_HLP,
    nullptr,
    "ABOUTDIALUP",
    &DIALUP_SETTINGS,
    {1, 2, 0, "Phonebook", ""},  // no Quick Connect in this program
    1,   // "%s is connected to %s" or "Offline"
    2,   // the online time
    -1,  // no local address
    // The hint, then room for "NAME is connected to COM1:115200,8,N,1".
    {20, 70, 85},
    "DIALUPTOOLBAR",
    TOOL_BUTTONS,
    static_cast<int>(sizeof TOOL_BUTTONS / sizeof TOOL_BUTTONS[0]),
    ONLINE_BUTTONS,
    static_cast<int>(sizeof ONLINE_BUTTONS / sizeof ONLINE_BUTTONS[0]),
    OFFLINE_BUTTONS,
    static_cast<int>(sizeof OFFLINE_BUTTONS / sizeof OFFLINE_BUTTONS[0]),
    COMMANDS,
    static_cast<int>(sizeof COMMANDS / sizeof COMMANDS[0]),
    &SERIAL_CONNECTION,
    {phoneSession.bytes, phoneTemplate.bytes, PHONE_ENTRY_SIZE, decode, loadTemplate, save, &phoneField::name,
     &phoneField::sessionCapture, &phoneField::viewJpegRealtime, &phoneField::sessionDir, &phoneField::downloadDir},
    created,
    book,
    notYet,
    &DIALUP_SHEET,
    false,
    ownCommand,
};
