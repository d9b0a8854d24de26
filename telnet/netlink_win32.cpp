#include "telnet/netlink_win32.h"

#include <winsock.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "frame/frame_session.h"
#include "shell/message_box.h"
#include "telnet/rlogin.h"
#include "telnet/socket_io.h"
#include "telnet/telnet_ids.h"
#include "telnet/telnet_engine.h"
#include "terminal/link.h"
#include "terminal/receive.h"

namespace {
// Where the connection stands. The four attempt phases own the progress
// dialog; answers and events that belong to another phase are stale.
enum class Phase {
  Idle,              // no connection and no attempt
  HostLookup,        // waiting for the asynchronous host look-up
  ServiceLookup,     // waiting for the asynchronous service look-up
  Connecting,        // waiting for the connect event
  RloginConnecting,  // likewise from a privileged port, retried lower when in use
  Connected,         // the link is up
  Closing,           // the loss is posted; the link goes when it is handled
};
Phase phase = Phase::Idle;

SOCKET sock = INVALID_SOCKET;
HWND mainWindow = nullptr;
HWND progress = nullptr;
HANDLE lookupHandle = nullptr;
HGLOBAL* lookupBuffer = nullptr;  // the buffer the pending look-up writes into
bool writeWaiting = false;        // a write waits for the socket and dispatches messages
bool transferReading = false;     // a file transfer reads the socket itself
HGLOBAL hostBuffer = nullptr;
HGLOBAL serviceBuffer = nullptr;
NetTarget target;
sockaddr_in remote;

constexpr long TELNET_EVENTS = FD_READ | FD_WRITE | FD_CLOSE;
constexpr long RLOGIN_EVENTS = FD_READ | FD_WRITE | FD_CLOSE | FD_OOB;

void closeSocket() {
  if (sock != INVALID_SOCKET) closesocket(sock);
  sock = INVALID_SOCKET;
}

void freeBuffer(HGLOBAL* block) {
  if (*block) {
    GlobalUnlock(*block);
    GlobalFree(*block);
  }
  *block = nullptr;
}

char* newBuffer(HGLOBAL* block, int size) {
  freeBuffer(block);
  if (size < 1024) size = 1024;
  *block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size));
  return *block ? static_cast<char*>(GlobalLock(*block)) : nullptr;
}

// The progress dialog (INTERNETCONNECT): two status lines and Cancel. Cancel,
// Escape and the close box all abandon the attempt.
INT_PTR CALLBACK ProgressDlgFunc(HWND, UINT m, WPARAM wp, LPARAM) {
  switch (m) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) != IDC_PROGRESS_CANCEL && LOWORD(wp) != IDCANCEL) return FALSE;
      break;
    case WM_CLOSE: break;
    default: return FALSE;
  }
  closeSocket();
  PostMessageA(mainWindow, WM_NET_CANCEL, 0, 0);
  return TRUE;
}

// Status line 1 or 2 of the progress dialog.
void setStatus(int line, const char* text) {
  if (progress) SetDlgItemTextA(progress, line == 1 ? IDC_PROGRESS_LINE1 : IDC_PROGRESS_LINE2, text);
}

void openProgress() {
  progress = CreateDialogA(GetModuleHandleA(nullptr), "INTERNETCONNECT", mainWindow, ProgressDlgFunc);
  if (progress) ShowWindow(progress, SW_SHOW);
}

// A cancelled look-up may still write its answer (the request may already be
// under way, and some Windows Sockets implementations write it regardless),
// so its buffer is kept until that answer arrives. A request that is truly
// cancelled never answers: its buffer stays until the program ends.
struct ParkedLookup {
  HANDLE handle;
  HGLOBAL buffer;
};
std::vector<ParkedLookup> parked;

// The pending look-up is cancelled first, and its buffer is parked rather
// than freed, so that no answer is written into freed memory.
void releaseLookups() {
  if (lookupHandle) {
    WSACancelAsyncRequest(lookupHandle);
    HGLOBAL* inUse = lookupBuffer ? lookupBuffer : &hostBuffer;
    if (*inUse) {
      parked.push_back({lookupHandle, *inUse});
      *inUse = nullptr;
    }
    lookupHandle = nullptr;
  }
  lookupBuffer = nullptr;
  freeBuffer(&hostBuffer);
  freeBuffer(&serviceBuffer);
}

// A late answer to a parked look-up: its buffer may go now.
void releaseParked(WPARAM handle) {
  for (size_t i = 0; i < parked.size(); ++i)
    if (parked[i].handle == reinterpret_cast<HANDLE>(handle)) {
      freeBuffer(&parked[i].buffer);
      parked.erase(parked.begin() + static_cast<long>(i));
      return;
    }
}

// Ends the attempt's dialog side: main window usable, dialog and buffers gone.
void endProgress() {
  if (mainWindow) EnableWindow(mainWindow, TRUE);
  if (progress) DestroyWindow(progress);
  progress = nullptr;
  releaseLookups();
}

bool attempting(Phase p) {
  return p == Phase::HostLookup || p == Phase::ServiceLookup || p == Phase::Connecting ||
         p == Phase::RloginConnecting;
}

// The one place the phase changes; an attempt that ends takes its dialog along.
void enterPhase(Phase next) {
  bool ending = attempting(phase) && !attempting(next);
  phase = next;
  if (next == Phase::Idle) transferReading = false;  // a new connection starts with reads on
  if (ending) endProgress();
}

void attemptEnded() { frameAttemptEnded(); }

int showError(const char* text, const char* title, unsigned style) {
  return messageBoxTitled(0, text, title, style);
}

// Failure path of a connect that could not even start.
void connectFailed() {
  closeSocket();
  if (mainWindow) EnableWindow(mainWindow, TRUE);
  releaseLookups();
  showError(NET_TEXT_CONNECT_FAILED, "error", MB_ICONERROR);
  PostMessageA(mainWindow, WM_NET_ABANDON, 0, 0);
}

void established() {
  enterPhase(Phase::Connected);
  int size = 0;
  int len = sizeof size;
  if (getsockopt(sock, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&size), &len) != 0) size = 0;
  telnetSession.rlogin = target.rlogin;
  if (!target.rlogin) {
    // A Telnet host sends IAC DM as urgent data after an interrupt: taken
    // inline, the pair stays whole in the stream and the engine drops it,
    // where apart from the stream the IAC would go and DM show as data.
    BOOL one = TRUE;
    setsockopt(sock, SOL_SOCKET, SO_OOBINLINE, reinterpret_cast<const char*>(&one), sizeof one);
  }
  telnetResetForConnection();
  if (netEstablished(size) < 0) {
    // The link could not be set up: the program stays offline.
    closeSocket();
    enterPhase(Phase::Idle);
    showError(NET_TEXT_CONNECT_FAILED, "error", MB_ICONERROR);
    attemptEnded();
    return;
  }
  WSAAsyncSelect(sock, mainWindow, WM_NET_SOCKET, target.rlogin ? RLOGIN_EVENTS : TELNET_EVENTS);
  frameEstablished();
}

bool bindPort(int port, void*) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(static_cast<u_short>(port));
  return bind(sock, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
}

// Rlogin needs a privileged source port: search downwards from start. Returns
// 0 when connected or waiting for the connect, -1 after the failure path.
int rloginConnect(int start) {
  for (;;) {
    sock = socket(AF_INET, SOCK_STREAM, 0);
    if (sock == INVALID_SOCKET) break;
    int port = rloginPortSearch(start, bindPort, nullptr);
    if (port < 0) break;
    rlogin.localPort = port;
    if (WSAAsyncSelect(sock, mainWindow, WM_NET_SOCKET, FD_WRITE | FD_CONNECT) != 0) {
      if (WSAGetLastError() == WSAEADDRINUSE && port > RLOGIN_LAST_PORT) {
        closeSocket();
        start = port - 1;
        continue;
      }
      showError(NET_TEXT_RLOGIN_EVENTS, "Err", MB_OK);
      break;
    }
    if (connect(sock, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0) {
      established();
      return 0;
    }
    int err = WSAGetLastError();
    if (err == WSAEWOULDBLOCK) return 0;
    if (err == WSAEADDRINUSE && port > RLOGIN_LAST_PORT) {
      closeSocket();
      start = port - 1;
      continue;
    }
    char text[64];
    snprintf(text, sizeof text, NET_TEXT_RLOGIN_CONNECT, err);
    showError(text, "error", MB_ICONERROR);
    break;
  }
  connectFailed();
  return -1;
}

void startConnect(int port) {
  remote.sin_port = htons(static_cast<u_short>(port));
  setStatus(2, NET_TEXT_CONNECTING);
  enterPhase(target.rlogin ? Phase::RloginConnecting : Phase::Connecting);
  if (target.rlogin) {
    // The handshake names the logged-on user; the session's name stands in
    // when the system does not tell.
    char me[257];
    DWORD size = sizeof me;
    if (!GetUserNameA(me, &size)) me[0] = '\0';
    char user[sizeof rlogin.userName];
    memcpy(user, rlogin.userName, sizeof user);
    rloginSetNames(me, user);
    rloginConnect(RLOGIN_FIRST_PORT);
    return;
  }
  sock = socket(AF_INET, SOCK_STREAM, 0);
  if (sock == INVALID_SOCKET || WSAAsyncSelect(sock, mainWindow, WM_NET_SOCKET, FD_WRITE | FD_CONNECT) != 0) {
    connectFailed();
    return;
  }
  if (connect(sock, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0) {
    WSAAsyncSelect(sock, mainWindow, 0, 0);
    established();
  } else if (WSAGetLastError() != WSAEWOULDBLOCK) {
    connectFailed();
  }
}

void lookUpService(int bufferSize) {
  enterPhase(Phase::ServiceLookup);
  setStatus(2, NET_TEXT_SERVICE);
  char* buffer = newBuffer(&serviceBuffer, bufferSize);
  lookupBuffer = &serviceBuffer;
  lookupHandle = buffer ? WSAAsyncGetServByName(mainWindow, WM_NET_SERVICE_FOUND, netServiceName(target.rlogin),
                                                "TCP", buffer, bufferSize < 1024 ? 1024 : bufferSize)
                        : nullptr;
  if (!lookupHandle) startConnect(netFallbackPort(target));
}

void decidePort() {
  int port = netPortWithoutLookup(target);
  if (port != 0) startConnect(port);
  else lookUpService(1024);
}

void lookUpHost(int bufferSize) {
  enterPhase(Phase::HostLookup);
  char* buffer = newBuffer(&hostBuffer, bufferSize);
  lookupBuffer = &hostBuffer;
  lookupHandle = buffer ? WSAAsyncGetHostByName(mainWindow, WM_NET_HOST_FOUND, target.address, buffer,
                                                bufferSize < 1024 ? 1024 : bufferSize)
                        : nullptr;
  if (!lookupHandle) {
    enterPhase(Phase::Idle);
    showError(NET_TEXT_HOST_ERROR, "Error", MB_ICONERROR);
    attemptEnded();
  }
}

void onHostFound(WPARAM wp, LPARAM lp) {
  releaseParked(wp);
  if (phase != Phase::HostLookup || reinterpret_cast<HANDLE>(wp) != lookupHandle) return;  // late or stale
  lookupHandle = nullptr;
  int err = WSAGETASYNCERROR(lp);
  if (err == 0) {
    const hostent* h = reinterpret_cast<const hostent*>(GlobalLock(hostBuffer));
    GlobalUnlock(hostBuffer);
    if (h && h->h_addr_list && h->h_addr_list[0]) {
      memcpy(&remote.sin_addr, h->h_addr_list[0], sizeof remote.sin_addr);
      decidePort();
      return;
    }
  } else if (err == WSAENOBUFS) {
    lookUpHost(WSAGETASYNCBUFLEN(lp));
    return;
  }
  enterPhase(Phase::Idle);
  showError(NET_TEXT_HOST_ERROR, "Error", MB_ICONERROR);
  attemptEnded();
}

void onServiceFound(WPARAM wp, LPARAM lp) {
  releaseParked(wp);
  if (phase != Phase::ServiceLookup || reinterpret_cast<HANDLE>(wp) != lookupHandle) return;
  lookupHandle = nullptr;
  int err = WSAGETASYNCERROR(lp);
  if (err == 0) {
    const servent* s = reinterpret_cast<const servent*>(GlobalLock(serviceBuffer));
    GlobalUnlock(serviceBuffer);
    startConnect(s ? ntohs(s->s_port) : netFallbackPort(target));
  } else if (err == WSAENOBUFS) {
    int port = netPortWithoutLookup(target);
    if (port != 0) startConnect(port);
    else lookUpService(WSAGETASYNCBUFLEN(lp));
  } else {
    startConnect(netFallbackPort(target));
  }
}

void onConnectEvent(int err) {
  if (phase != Phase::Connecting && phase != Phase::RloginConnecting) return;
  if (err == 0) {
    established();
    return;
  }
  if (phase == Phase::RloginConnecting && err == WSAEADDRINUSE) {
    closeSocket();
    rloginConnect(rloginNextPort(rlogin.localPort));
    return;
  }
  PostMessageA(mainWindow, WM_NET_ABANDON, 0, 0);
  char text[96];
  netConnectFailureText(err, text, sizeof text);
  showError(text, "Error", MB_OK);
}

void postLost() {
  if (phase != Phase::Connected) return;  // one loss, one message
  enterPhase(Phase::Closing);
  PostMessageA(mainWindow, WM_NET_LOST, 0, 0);
}

// Keys, mouse and painting that queued up while a flood was being read: a
// posted read-on message would always come before them, so they are let
// through here, a bounded number at a time. Not while a write waits, which
// keeps keys queued so that typing does not re-enter the send.
void letInputThrough() {
  if (writeWaiting) return;
  MSG msg;
  for (int i = 0; i < 64; ++i) {
    if (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
        PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
        PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else {
      return;
    }
  }
}

// A receive pass. When it stopped at its bound (a host that never stops
// sending) it posts itself a read-on message; nothing waiting in the link is
// lost, and no read notification is needed for it.
void receivePass() {
  if (!netLinkUp() || transferReading) return;
  if (frameDataWaiting() == LINK_LOST) postLost();
  else if (receiveBacklog()) PostMessageA(mainWindow, WM_NET_SOCKET, sock, WSAMAKESELECTREPLY(FD_READ, 0));
}

void onSocketEvent(WPARAM wp, LPARAM lp) {
  if (static_cast<SOCKET>(wp) != sock) return;
  int event = WSAGETSELECTEVENT(lp);
  int err = WSAGETSELECTERROR(lp);
  switch (event) {
    case FD_CONNECT:
      onConnectEvent(err);
      break;
    case FD_WRITE:
      netSocketWritable();
      break;
    case FD_READ:
      if (receiveBacklog()) letInputThrough();  // during a flood the window stays usable
      receivePass();
      break;
    case FD_OOB: {
      uint8_t b;
      for (int i = 0; i < 64 && recv(sock, reinterpret_cast<char*>(&b), 1, MSG_OOB) == 1; ++i) rloginUrgentByte(b);
      break;
    }
    case FD_CLOSE:
      // A transfer reads up to the close itself and reports the loss; what
      // it has not read yet must not go with the socket.
      if (transferReading) break;
      // What arrived before the close is shown before the connection ends.
      // After the close what is left is finite: take it all, pass by pass.
      if (netLinkUp())
        while (frameDataWaiting() != LINK_LOST && receiveBacklog()) {
        }
      postLost();
      break;
    default:
      break;
  }
}

void onLost() {
  if (!netLinkUp()) return;
  linkClose();  // closes the socket and releases the link state
  closeSocket();
  enterPhase(Phase::Idle);
  frameLost();
}
}  // namespace

int socketReceive(uint8_t* buffer, int size) {
  int n = recv(sock, reinterpret_cast<char*>(buffer), size, 0);
  if (n > 0) return n;
  if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return 0;
  return LINK_LOST;  // orderly close (0) or a broken connection
}

// Windows Sockets numbers are the NetError numbers.
int socketSend(const uint8_t* bytes, int length) {
  int n = send(sock, reinterpret_cast<const char*>(bytes), length, 0);
  return n != SOCKET_ERROR ? n : -WSAGetLastError();
}

// Dispatches what waits while the program stays responsive; the write-ready
// event arrives as a message (netSocketWritable). Key messages stay queued so
// that typing does not re-enter the send.
int socketWaitWritable() {
  writeWaiting = true;
  MSG msg;
  bool any = false;
  if (PeekMessageA(&msg, nullptr, 0, 255, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    any = true;
  }
  if (PeekMessageA(&msg, nullptr, 259, 0xFFFFFFFF, PM_REMOVE)) {
    DispatchMessageA(&msg);
    any = true;
  }
  if (!any) MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  writeWaiting = false;
  return 0;
}

void socketClose() { closeSocket(); }

int netStartup() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
    showError(NET_TEXT_STARTUP, "Error", MB_ICONERROR);
    return -1;
  }
  return 0;
}

int netConnect(HWND window, const NetRequest& request) {
  mainWindow = window;
  closeSocket();
  memset(&remote, 0, sizeof remote);
  remote.sin_family = AF_INET;
  if (netPlanTarget(request, &target) < 0) {
    attemptEnded();
    return -1;
  }
  openProgress();
  EnableWindow(mainWindow, FALSE);
  char line[300];
  snprintf(line, sizeof line, "%s%s", NET_TEXT_CONNECTING_TO, target.address);
  setStatus(1, line);
  setStatus(2, NET_TEXT_RESOLVING);
  if (target.numericAddress) {
    memcpy(&remote.sin_addr, target.numeric, sizeof remote.sin_addr);
    decidePort();
  } else {
    lookUpHost(1024);
  }
  return phase != Phase::Idle ? 0 : -1;
}

bool netHandleMessage(HWND, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_NET_SOCKET: onSocketEvent(wp, lp); return true;
    case WM_NET_HOST_FOUND: onHostFound(wp, lp); return true;
    case WM_NET_SERVICE_FOUND: onServiceFound(wp, lp); return true;
    case WM_NET_CANCEL:
      enterPhase(Phase::Idle);  // cancels a pending look-up, then frees its buffer
      attemptEnded();
      return true;
    case WM_NET_ABANDON:
      enterPhase(Phase::Idle);
      closeSocket();
      attemptEnded();
      return true;
    case WM_NET_LOST: onLost(); return true;
    default: return false;
  }
}

void netDisconnect() {
  if (!netLinkUp()) return;
  if (sock != INVALID_SOCKET) WSAAsyncSelect(sock, mainWindow, 0, 0);
  enterPhase(Phase::Idle);  // a close event still queued is not a loss
  linkClose();
  closeSocket();
  frameLost();
}

bool netConnecting() { return attempting(phase); }

void netTransferEvents(bool transferRunning) {
  if (sock == INVALID_SOCKET || !netLinkUp()) return;
  long events = transferRunning ? (FD_WRITE | FD_CLOSE) : (target.rlogin ? RLOGIN_EVENTS : TELNET_EVENTS);
  bool ended = transferReading && !transferRunning;
  transferReading = transferRunning;
  WSAAsyncSelect(sock, mainWindow, WM_NET_SOCKET, events);
  // Data or a close that came while the transfer had the line, and that it
  // left unread, is taken by a receive pass now.
  if (ended) PostMessageA(mainWindow, WM_NET_SOCKET, sock, WSAMAKESELECTREPLY(FD_READ, 0));
}

HWND netProgressWindow() { return progress; }
