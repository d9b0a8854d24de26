// The Telnet and Rlogin line on the host: the frame's connection table over
// POSIX sockets, connecting synchronously within a time limit. The host has
// no windows: no messages, no dialogs.
#include "frame/frame_session.h"
#include "telnet/net_connection.h"
#include "telnet/netlink_posix.h"
#include "telnet/telnet_connection.h"
#include "telnet/telnet_connection_posix.h"
#include "telnet/telnet_engine.h"
#include "telnet/telnet_entry.h"
#include "telnet/telnet_terminal.h"
#include "terminal/link.h"

namespace {
constexpr int CONNECT_LIMIT_MS = 10000;

int lineOpen(const SessionProfile& profile) {
  telnetSessionFromProfile(profile);
  if (netConnectPosix(netRequestFromProfile(profile), CONNECT_LIMIT_MS) < 0) {
    frameAttemptEnded();
    return -1;
  }
  frameEstablished();
  return 0;
}

void lineClose() {
  if (!netLinkUp()) return;
  netDisconnectPosix();
  frameLost();
}

bool never() { return false; }
bool noMessage(unsigned, uintptr_t, intptr_t) { return false; }
uintptr_t noDialog() { return 0; }
// The engine keeps its commands out of what a transfer reads.
void transferBegin() { netTransferRunning = true; }
void transferEnd() { netTransferRunning = false; }
void noSpecial(int, uintptr_t) {}
}  // namespace

int telnetPosixDrain(int waitMs) {
  if (!netLinkUp()) return LINK_LOST;
  netWaitInput(waitMs);
  int result = frameDataWaiting();
  if (result == LINK_LOST) lineClose();
  return result;
}

const FrameConnection TELNET_CONNECTION = {
    "telnet",  0,       lineOpen,    lineClose,         never,          noMessage,     noDialog,
    transferBegin, transferEnd, telnetLineAttach, telnetOnConnected, telnetLineEnd, telnetTerminalSize,
    telnetLineStatus,   telnetLineSpecialEnabled, noSpecial,
};
