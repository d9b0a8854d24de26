#include "telnet/net_connection.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/bounded_copy.h"
#include "shell/message_box.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "telnet/socket_io.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"
#include "terminal/receive.h"

bool netTransferRunning = false;
volatile bool* netWriteAbort = nullptr;

namespace {
// The connection while it is up; only this file touches it.
struct SocketLink {
  bool connected;   // reads and writes fail while false
  bool writable;    // cleared when a send would block
  uint8_t* recvBuffer;
  int recvSize, recvFill, recvPos;
  bool lostPending;  // the peer closed; reported once the buffer is drained
  bool rlogin;
};
SocketLink state = {};
}  // namespace

int netPlanTarget(const NetRequest& request, NetTarget* target) {
  *target = {};
  target->rlogin = request.rlogin;
  target->useFirewall = request.useFirewall;
  if (request.useFirewall) {
    regReadString(TELNET_SETTINGS.firewallAddress, "", target->address, sizeof target->address);
    target->port = regReadInt(TELNET_SETTINGS.firewallPort, FIREWALL_PORT_DEFAULT);
  } else {
    copyBounded(target->address, sizeof request.address, request.address);
    target->port = request.port;
  }
  if (target->port < 0 || target->port > 65535) target->port = 0;
  if (target->address[0] == '\0') {
    messageBoxTitled(0, request.useFirewall ? NET_TEXT_NO_FIREWALL : NET_TEXT_NO_HOST, "error", MSG_OK);
    return -1;
  }
  target->numericAddress = netDottedDecimalBytes(target->address, target->numeric);
  return 0;
}

const char* netServiceName(bool rlogin) { return rlogin ? "RLOGIN" : "TELNET"; }

int netPortWithoutLookup(const NetTarget& target) {
  if (target.port != 0) return target.port;
  // A firewall given by number goes to the protocol's well-known port.
  if (target.numericAddress && target.useFirewall) return target.rlogin ? 513 : 23;
  return 0;
}

int netFallbackPort(const NetTarget& target) {
  if (target.useFirewall) return regReadInt(TELNET_SETTINGS.firewallPort, FIREWALL_PORT_DEFAULT);
  return target.rlogin ? 513 : 23;
}

namespace {
// Refills the empty receive buffer with one platform receive.
void refill() {
  int n = socketReceive(state.recvBuffer, state.recvSize);
  if (n == LINK_LOST) {
    state.lostPending = true;
  } else if (n > 0) {
    state.recvFill = n > state.recvSize ? state.recvSize : n;
    state.recvPos = 0;
  }
}

int socketRead(uint8_t* out, int count) {
  if (!state.connected || !state.recvBuffer) return 0;
  // While a transfer reads the line the engine itself takes the Telnet layer
  // out of the data: its commands go to it, a doubled 0xFF is one 0xFF (so four
  // give two), whatever way the bytes are split across reads.
  const bool telnetLayer = netTransferRunning && !state.rlogin;
  int copied = 0;
  while (copied < count) {
    if (state.recvPos >= state.recvFill) {
      // Bytes already copied go up first; the loss is reported by the next call.
      if (state.lostPending) break;
      refill();
      if (state.recvPos >= state.recvFill) break;
    }
    uint8_t b = state.recvBuffer[state.recvPos++];
    if (telnetLayer) {
      if (telnetInCommand()) {
        int data = telnetCommandByte(b);
        if (data < 0) continue;
        b = static_cast<uint8_t>(data);
      } else if (b == 0xFF) {
        telnetStartCommand();
        continue;
      }
    }
    out[copied++] = b;
  }
  if (copied == 0 && state.lostPending) return LINK_LOST;
  return copied;
}

int socketPoll(int* inQueue, int* outQueue) {
  if (inQueue) *inQueue = 0;
  if (outQueue) *outQueue = 0;
  if (!state.connected || !state.recvBuffer) return 0;
  if (state.recvPos >= state.recvFill && !state.lostPending) refill();
  int waiting = state.recvFill - state.recvPos;
  if (inQueue) *inQueue = waiting;
  return waiting == 0 && state.lostPending ? LINK_LOST : 0;
}

int socketWrite(const uint8_t* data, int length) {
  int done = 0;
  while (done < length && state.connected) {
    if (!state.writable) {
      // An abort already set ends the write before any further wait, so a
      // run of replies to a host that stopped reading does not wait for each.
      if (netWriteAbort && *netWriteAbort) return -1;
      int ready = socketWaitWritable();
      if (ready > 0) state.writable = true;
      else if (ready < 0) state.connected = false;
      if (netWriteAbort && *netWriteAbort) return -1;
      continue;
    }
    int n = socketSend(data + done, length - done);
    if (n < 0 && netSendErrorIsFatal(-n)) return -1;
    if (n < 0) state.writable = false;
    else done += n;
  }
  return state.connected ? 0 : -1;
}

int socketPurge(int which) {
  if (which == 0) state.recvFill = state.recvPos = 0;
  return 0;
}

void closeLink() {
  socketClose();
  netReleased();
}

const LinkOps socketOps = {socketRead, socketWrite, socketPoll, socketPurge, nullptr, nullptr, closeLink, true, nullptr};
}  // namespace

int netEstablished(int receiveBufferSize) {
  netReleased();
  int size = receiveBufferSize < 1 ? 4096 : receiveBufferSize;
  if (size > (1 << 22)) size = 1 << 22;
  state.recvBuffer = static_cast<uint8_t*>(calloc(static_cast<size_t>(size), 1));
  if (!state.recvBuffer) return -1;  // a link that could never read is no connection
  state.recvSize = size;
  state.writable = true;
  state.rlogin = telnetSession.rlogin;
  telnetDataMode();
  receiveEightBit = true;
  state.connected = true;
  linkAttach(&socketOps);
  return 0;
}

void netReleased() {
  free(state.recvBuffer);
  state = {};
}

bool netLinkUp() { return state.connected; }
int netReceiveBufferSize() { return state.recvSize; }
bool netInputPending() { return state.recvPos < state.recvFill || state.lostPending; }
void netSocketWritable() { state.writable = true; }
