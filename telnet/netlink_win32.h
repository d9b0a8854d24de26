// The socket link on Windows Sockets 1.1 in asynchronous mode: look-ups and
// socket events arrive as window messages to the main window, whose procedure
// hands them to netHandleMessage. No thread is used.
#pragma once
#include <windows.h>

#include "telnet/net_connection.h"

// The connection's window messages.
constexpr UINT WM_NET_SOCKET = WM_USER + 3;         // 1027: socket event
constexpr UINT WM_NET_HOST_FOUND = WM_USER + 5;     // 1029: host look-up answered
constexpr UINT WM_NET_CANCEL = WM_USER + 6;         // 1030: Cancel in the progress dialog
constexpr UINT WM_NET_SERVICE_FOUND = WM_USER + 7;  // 1031: service look-up answered
constexpr UINT WM_NET_LOST = WM_USER + 9;           // 1033: the connection is gone
constexpr UINT WM_NET_ABANDON = WM_USER + 10;       // 1034: a connect attempt failed
constexpr int NET_CANCEL_BUTTON = 300;

// Starts Windows Sockets 1.1; on failure shows its message and returns -1.
int netStartup();
// Starts connecting for request; the main window gets the messages. Returns 0
// when the attempt is under way, -1 when it ended at once (after its message).
int netConnect(HWND mainWindow, const NetRequest& request);
// The main window's procedure calls this first; true when the message was ours.
bool netHandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// User disconnect: events off, socket closed, the session's offline steps.
void netDisconnect();
// Whether a connect attempt (look-up, connect) is in progress.
bool netConnecting();
// While a transfer reads the line itself only write and close are reported.
void netTransferEvents(bool transferRunning);
// The progress dialog while connecting (nullptr otherwise).
HWND netProgressWindow();
