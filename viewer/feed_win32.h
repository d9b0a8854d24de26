// The feed's Win32 message details: DDE-numbered messages between processes
// must carry global handles, so executes carry a small command block and
// posted acknowledgements are packed.
#pragma once
#include <windows.h>

// Sender: the client window's procedure passes its messages here; true when
// it was the viewer's acknowledgement or terminate (then FeedAnswer has run).
bool feedAnswerMessage(UINT message, WPARAM wParam, LPARAM lParam);
// Viewer: the lParam of the execute being acknowledged next, handed back
// with the acknowledgement so that the sender can free it.
void feedExecuteReceived(LPARAM lParam);
