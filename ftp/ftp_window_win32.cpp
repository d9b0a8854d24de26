#include "ftp/ftp_window_win32.h"

static HWND g_window = nullptr;

void ftpWindowInstallHooks(HWND) {}
int ftpWindowOpen(HWND, RECT) { return g_window ? 0 : -1; }
void ftpWindowClose() {}
HWND ftpWindowHandle() { return g_window; }
void ftpWindowConnected() {}
void ftpWindowDisconnected() {}
void ftpWindowResize(RECT) {}
HWND ftpTransferDialog() { return nullptr; }
