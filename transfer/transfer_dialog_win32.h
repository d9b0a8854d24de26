// The transfer dialogs over Win32: the modeless progress dialog XFRDLG that
// runs a send or a receive inside its own message handler, and the modal
// batch list BATCHLIST.
#pragma once
#include <windows.h>

#include "transfer/batch_list.h"
#include "transfer/transfer_settings.h"

// The caller takes the line from the terminal first (a socket's read
// notifications off, serial flow control for the direction) and gives it back
// on TRANSFER_DONE_MESSAGE: the transfer reads the line itself.
//
// Opens XFRDLG over mainWindow for a receive with the session's settings and
// disables the main window. localPath: the XMODEM file chosen in advance, or
// nullptr to ask with the "Save File" dialog. Returns the dialog or nullptr.
HWND transferStartReceive(HWND mainWindow, const TransferSettings& settings, const char* localPath);
// The same for a send; XMODEM asks for the file ("Open File") unless localPath
// is given, the batch protocols open BATCHLIST unless preset holds entries.
HWND transferStartSend(HWND mainWindow, const TransferSettings& settings, const char* localPath,
                       const BatchList* preset);
// The main window's answer to TRANSFER_DONE_MESSAGE: destroys the dialog and
// enables itself. Returns the transfer's result (LINK_LOST: hang up).
int transferDialogClose(HWND mainWindow);
// The running transfer dialog, or nullptr.
HWND transferDialog();

// BATCHLIST as a modal dialog; the list starts with the entries of list and
// receives the chosen ones. Returns their number (0 on Cancel).
int transferBatchDialog(HWND owner, BatchList* list);

INT_PTR CALLBACK SendDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReceiveDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BatchDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
