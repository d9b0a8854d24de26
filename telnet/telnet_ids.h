// Command and resource numbers of the Telnet program's menu, toolbar and
// dialogs. Plain defines: the resource script includes this file too.
#pragma once

#define CMD_KEYBOARD 1
#define CMD_UNIX_TO_DOS 2
#define CMD_DOS_TO_UNIX 3
#define CMD_EXIT 11
#define CMD_PRINT_BUFFER 12
#define CMD_PRINT_SETUP 15
#define CMD_COPY_PRINTER 115
#define CMD_SELECT_ALL 116
#define CMD_COPY 141
#define CMD_TRANSMIT 142
#define CMD_CLEAR_BUFFER 143
#define CMD_TERMINAL_PREFS 302
#define CMD_FONTS 303
#define CMD_TELNETBOOK 400
#define CMD_PRINT_LOGFILE 404
#define CMD_PRINT_TRANSPARENT 405
#define CMD_DISCONNECT 1000
#define CMD_VIEW_JPEG_OFFLINE 1001
#define CMD_COLOR 1002
#define CMD_CAPTURE 1005
#define CMD_MSDOS 1009
#define CMD_RECEIVE 2000
#define CMD_PROTOCOL 2001
#define CMD_SEND 2003
#define CMD_DEFAULT_DIR 3000
#define CMD_ABOUT 3001
#define CMD_VIEW_JPEG_REALTIME 3002
#define CMD_RESET_TERM 3003
#define CMD_UUENCODE 3008
#define CMD_UUDECODE 3009
#define CMD_HELP_CONTENTS 5006
#define CMD_QUICK_CONNECT 11842
#define CMD_NEW_WINDOW 11843
#define CMD_FIND 51682
#define CMD_TELNET_COMMAND 51683
#define CMD_VIEW_OPTIONS 51684

// The "Send telnet command" dialog.
#define IDC_TELNET_COMMAND_LIST 3101
#define IDC_TELNET_COMMAND_SEND 3102
#define IDC_TELNET_COMMAND_TEXT 3103


// The connection progress dialog: two status lines and Cancel (300).
#define IDC_PROGRESS_LINE1 101
#define IDC_PROGRESS_LINE2 102
#define IDC_PROGRESS_CANCEL 300
