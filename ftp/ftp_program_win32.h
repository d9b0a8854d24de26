// The FTP program: its description for the frame, and its own dialogs.
#pragma once
#include <windows.h>

#include "frame/config_sheet_win32.h"
#include "frame/frame_win32.h"
#include "shell/ftp_entry.h"

extern const FrameProgram QUENDA32_PROGRAM;

// Reads the command line ("HOST [PORT]"); a line the program cannot take is
// refused with its message box. Returns 0, or -1 when the program must end.
int ftpReadCommandLine(const char* line);

// The session's entry and the template of new entries.
extern FtpEntry ftpSessionEntry;
extern FtpEntry ftpTemplateEntry;

// The sheet over an FTP entry: "General" (editable name only for a new
// entry), "File Transfer Options", "Firewall", "Color", "Fonts", "Default
// Dir"; firstKind is a ConfigPage. IDOK when the entry changed and was saved.
extern const ConfigSheetSpec QUENDA32_SHEET;
int ftpSettingsSheet(HWND owner, FtpEntry* entry, int firstKind, bool newEntry);

// The login's dialogs and the e-mail address (modal; false on Cancel).
bool ftpAskUser(HWND owner, char* name, int size);
bool ftpAskPassword(HWND owner, char* password, int size, bool* save);
void ftpEmailDialog(HWND owner);
