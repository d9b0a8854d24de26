// The Telnet and Rlogin line over Windows Sockets: the frame's connection
// table filled with the socket driver, the Telnet engine and its dialog.
#include <windows.h>

#include "frame/frame_session.h"
#include "frame/frame_win32.h"
#include "telnet/net_connection.h"
#include "telnet/netlink_win32.h"
#include "telnet/telnet_connection.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_entry.h"
#include "telnet/telnet_program_win32.h"
#include "telnet/telnet_terminal.h"

namespace {
int lineOpen(const SessionProfile& profile) {
  telnetSessionFromProfile(profile);
  return netConnect(frameWindow(), netRequestFromProfile(profile));
}

bool message(unsigned m, uintptr_t wp, intptr_t lp) {
  return netHandleMessage(frameWindow(), m, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp));
}

uintptr_t modeless() { return reinterpret_cast<uintptr_t>(netProgressWindow()); }

// While a transfer owns the line the socket reports only write and close, and
// the engine keeps its commands out of what the transfer reads.
void transferBegin() {
  netTransferRunning = true;
  netTransferEvents(true);
}

void transferEnd() {
  netTransferRunning = false;
  netTransferEvents(false);
}

void special(int which, uintptr_t owner) {
  if (which == SPECIAL_TELNET_COMMAND) telnetCommandDialog(reinterpret_cast<HWND>(owner));
}
}  // namespace

const FrameConnection TELNET_CONNECTION = {
    "telnet",       WM_NET_SOCKET, lineOpen,        netDisconnect,     netConnecting, message,
    modeless,       transferBegin, transferEnd, telnetLineAttach,  telnetOnConnected, telnetLineEnd,
    telnetTerminalSize, telnetLineStatus, telnetLineSpecialEnabled, special,
};
