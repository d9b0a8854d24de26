// The commands of a terminal program's main window, whatever number each
// program gives them in its menu (Select All is 116 in one program and 112 in
// another): the program maps its identifiers to these.
#pragma once

enum FrameCommand {
  FC_NEW_WINDOW, FC_BOOK, FC_QUICK_CONNECT, FC_PRINT_SETUP, FC_PRINT_BUFFER, FC_PRINT_LOGFILE,
  FC_PRINT_TRANSPARENT, FC_EXIT, FC_COPY, FC_TRANSMIT, FC_COPY_PRINTER, FC_SELECT_ALL, FC_CLEAR_BUFFER,
  FC_FIND, FC_VIEW_OPTIONS, FC_TERMINAL_PREFS, FC_FONTS, FC_PROTOCOL, FC_KEYBOARD, FC_COLOR, FC_DEFAULT_DIR,
  FC_RESET_TERM, FC_VIEW_JPEG_REALTIME, FC_VIEW_JPEG_OFFLINE, FC_UUENCODE, FC_UUDECODE, FC_UNIX_TO_DOS,
  FC_DOS_TO_UNIX, FC_RECEIVE, FC_SEND, FC_CAPTURE, FC_DISCONNECT, FC_HELP_CONTENTS, FC_ABOUT, FC_MSDOS,
  FC_SCRIPT_EDIT, FC_SCRIPT_EXECUTE, FC_SCRIPT_CHECK,
  // The line's own commands (ConnectionSpecial order).
  FC_SPECIAL_TELNET_COMMAND, FC_SPECIAL_BREAK, FC_SPECIAL_COMM_STATUS, FC_SPECIAL_COMM_PARAMETERS,
  FC_SPECIAL_ANSWER, FC_SPECIAL_CHAT,
  // The last of the line's own commands.
  FC_SPECIAL_LAST = FC_SPECIAL_CHAT,
  // The program's own commands: its command hook runs them.
  FC_PROGRAM,
  // Commands whose parts come later: they say so.
  FC_NOT_YET,
};

// When a menu entry (and the toolbar button of the same identifier) is usable.
enum CommandWhen {
  WHEN_ALWAYS,
  WHEN_ONLINE,   // greyed offline
  WHEN_OFFLINE,  // greyed online
};

struct FrameCommandMap {
  int id;
  FrameCommand command;
  CommandWhen when;
};
