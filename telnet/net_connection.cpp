#include "telnet/net_connection.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/message_box.h"
#include "shell/settings.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"

namespace {
int showPlain(const char* text, const char* title, unsigned style) { return messageBoxTitled(0, text, title, style); }
}  // namespace

int (*netShowMessage)(const char* text, const char* title, unsigned style) = showPlain;
void (*netStatusText)(int line, const char* text) = nullptr;
SocketLink netLink = {};
bool netTransferRunning = false;
volatile bool* netWriteAbort = nullptr;

namespace {
void copyText(char* to, size_t size, const char* from) {
  size_t n = from ? strnlen(from, size - 1) : 0;
  memcpy(to, from ? from : "", n);
  to[n] = '\0';
}
}  // namespace

int netPlanTarget(const NetRequest& request, NetTarget* target) {
  *target = {};
  target->rlogin = request.rlogin;
  target->useFirewall = request.useFirewall;
  if (request.useFirewall) {
    regReadString("FirewallAddressTelnet", "", target->address, sizeof target->address);
    target->port = regReadInt("FirewallPortTelnet", 23);
  } else {
    copyText(target->address, sizeof request.address, request.address);
    target->port = request.port;
  }
  if (target->port < 0 || target->port > 65535) target->port = 0;
  if (target->address[0] == '\0') {
    netShowMessage(request.useFirewall ? NET_TEXT_NO_FIREWALL : NET_TEXT_NO_HOST, "error", MSG_OK);
    return -1;
  }
  target->numericAddress = netDottedDecimalBytes(target->address, target->numeric);
  return 0;
}

bool netDottedDecimalBytes(const char* text, uint8_t bytes[4]) {
  const char* p = text;
  for (int part = 0; part < 4; ++part) {
    // Each part is read as decimal whatever its leading zeros, so the same
    // text reaches the same host on every platform.
    int digits = 0, value = 0;
    while (*p >= '0' && *p <= '9' && digits < 4) value = value * 10 + (*p++ - '0'), ++digits;
    if (digits == 0 || digits > 3 || value > 255) return false;
    bytes[part] = static_cast<uint8_t>(value);
    if (part < 3 && *p++ != '.') return false;
  }
  return *p == '\0';
}

bool netIsDottedDecimal(const char* text) {
  uint8_t bytes[4];
  return netDottedDecimalBytes(text, bytes);
}

const char* netServiceName(bool rlogin) { return rlogin ? "RLOGIN" : "TELNET"; }

int netPortWithoutLookup(const NetTarget& target) {
  if (target.port != 0) return target.port;
  // A firewall given by number goes to the protocol's well-known port.
  if (target.numericAddress && target.useFirewall) return target.rlogin ? 513 : 23;
  return 0;
}

int netFallbackPort(const NetTarget& target) {
  if (target.useFirewall) return regReadInt("FirewallPortTelnet", 23);
  return target.rlogin ? 513 : 23;
}

void netConnectFailureText(int error, char* text, int size) {
  if (error == NET_TIMEDOUT) snprintf(text, static_cast<size_t>(size), "Failed to connect, Connection timed out");
  else if (error == NET_CONNREFUSED)
    snprintf(text, static_cast<size_t>(size), "Failed to connect, Connection refused, check host ip address");
  else snprintf(text, static_cast<size_t>(size), "Failed to connect, %d", error);
}

void netEstablished(int receiveBufferSize) {
  netReleased();
  int size = receiveBufferSize < 1 ? 4096 : receiveBufferSize;
  if (size > (1 << 22)) size = 1 << 22;
  netLink.recvBuffer = static_cast<uint8_t*>(calloc(static_cast<size_t>(size), 1));
  netLink.recvSize = netLink.recvBuffer ? size : 0;
  netLink.writable = true;
  netLink.rlogin = telnetSession.rlogin;
  telnetState.inCommand = false;
  linkEightBit = true;
  netLink.connected = true;
}

void netReleased() {
  free(netLink.recvBuffer);
  netLink = {};
}

int netLinkRead(uint8_t* out, int count, NetReceiveFn receive) {
  if (!netLink.connected || !netLink.recvBuffer) return 0;
  const bool collapse = netTransferRunning && !netLink.rlogin;
  int copied = 0;
  while (copied < count) {
    if (netLink.recvPos >= netLink.recvFill) {
      // Bytes already copied go up first; the loss is reported by the next call.
      if (netLink.lostPending) break;
      int n = receive(netLink.recvBuffer, netLink.recvSize);
      if (n == LINK_LOST) {
        netLink.lostPending = true;
        break;
      }
      if (n <= 0) break;
      netLink.recvFill = n > netLink.recvSize ? netLink.recvSize : n;
      netLink.recvPos = 0;
    }
    uint8_t b = netLink.recvBuffer[netLink.recvPos++];
    if (collapse && b == 0xFF && netLink.lastByte == 0xFF) {
      netLink.lastByte = 0;  // so that four 0xFF give two
      continue;
    }
    netLink.lastByte = b;
    out[copied++] = b;
  }
  if (copied == 0 && netLink.lostPending) return LINK_LOST;
  return copied;
}

int netLinkPoll(int* inQueue, NetReceiveFn receive) {
  if (inQueue) *inQueue = 0;
  if (!netLink.connected || !netLink.recvBuffer) return 0;
  if (netLink.recvPos >= netLink.recvFill && !netLink.lostPending) {
    int n = receive(netLink.recvBuffer, netLink.recvSize);
    if (n == LINK_LOST) netLink.lostPending = true;
    else if (n > 0) {
      netLink.recvFill = n > netLink.recvSize ? netLink.recvSize : n;
      netLink.recvPos = 0;
    }
  }
  int waiting = netLink.recvFill - netLink.recvPos;
  if (inQueue) *inQueue = waiting;
  return waiting == 0 && netLink.lostPending ? LINK_LOST : 0;
}

int netLinkWrite(const uint8_t* data, int length, NetSendFn send, NetWaitFn wait) {
  int done = 0;
  while (done < length && netLink.connected) {
    if (!netLink.writable) {
      wait();
      if (netWriteAbort && *netWriteAbort) return -1;
      continue;
    }
    int n = send(data + done, length - done);
    if (n == -2) return -1;
    if (n < 0) netLink.writable = false;
    else done += n;
  }
  return netLink.connected ? 0 : -1;
}

void netLinkPurge(int which) {
  if (which == 0) netLink.recvFill = netLink.recvPos = 0;
}

namespace {
NetSocketIo socketIo{};

int socketRead(uint8_t* buffer, int count) { return netLinkRead(buffer, count, socketIo.receive); }
int socketWrite(const uint8_t* bytes, int length) {
  return netLinkWrite(bytes, length, socketIo.send, socketIo.wait);
}
int socketPoll(int* in, int* out) {
  if (out) *out = 0;
  return netLinkPoll(in, socketIo.receive);
}
int socketPurge(int which) {
  netLinkPurge(which);
  return 0;
}
void socketClose() {
  if (socketIo.close) socketIo.close();
  netReleased();
}
const LinkOps socketOps = {socketRead, socketWrite, socketPoll, socketPurge, nullptr, nullptr, socketClose, true};
}  // namespace

void netAttachLink(const NetSocketIo& io) {
  socketIo = io;
  linkAttach(&socketOps);
}
