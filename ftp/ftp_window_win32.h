// The two-pane FTP window: the local file system beside the remote
// directory, with the transfers and file operations between them, and the
// transfer dialog XFRDLG of downloads and uploads. The main window opens it
// over its session area and tells it of connection changes.
#pragma once
#include <windows.h>

// Once at start-up, after ftpResetHooks: fills the engine's hooks that belong
// to this window and the transfer dialog (windowOpen, listingStart,
// listingBytes, listingDone, remotePathChanged, refreshRemote, transferOpen,
// transferSize, transferStatus, progress, nextDownload, openFile). The
// program fills the others (session text, status, messages, questions).
void ftpWindowInstallHooks(HWND mainWindow);

// Creates the modeless window over `area` (client coordinates of the main
// window); 0 when it is up (or already was), negative when it cannot be made.
// While connected and idle it asks for the remote system and lists the
// directory. The program's .rc includes ftp/ftp_dialogs.rc and
// transfer/transfer_dialogs.rc (the XFRDLG template).
int ftpWindowOpen(HWND mainWindow, RECT area);
// Destroys the window if it is open.
void ftpWindowClose();
// The window, or nullptr when it is closed.
HWND ftpWindowHandle();
// The engine has logged in. Its login already asked for the remote system and
// listed the directory into an open window (and a window opened while
// connected does so itself); this takes the session's path and settings.
void ftpWindowConnected();
// The binary, recover or system-type setting changed elsewhere (the menu):
// the window's check boxes and system box follow.
void ftpWindowSettingsChanged();
// The connection ended: clear the remote side.
void ftpWindowDisconnected();
// The main window's session area moved or changed size.
void ftpWindowResize(RECT area);
// The transfer dialog while one is up, else nullptr (the message loop routes
// its keys first).
HWND ftpTransferDialog();
