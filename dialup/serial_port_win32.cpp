// The session's COM port: the link's serial side. Reads return at once with
// what the driver holds; writes keep the window responsive while they pend.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "dialup/serial_port_win32.h"
#include "dialup/serial_watcher_win32.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/pump.h"
#include "terminal/link.h"
#include "terminal/receive.h"

namespace {
HANDLE port = INVALID_HANDLE_VALUE;
bool portOpen = false;
DCB dcb{};  // the session's control block, kept and edited in place
bool eightBitLine = false;
BYTE savedSize = 8, savedParity = NOPARITY, savedStopBits = ONESTOPBIT;
bool sessionSoftwareFlow = false;
OVERLAPPED readOv{};
// Reads from the driver go through this chunk: one call through the driver
// costs far more than the copy, and the byte path asks for 1023 bytes at a time.
uint8_t readChunk[16384];
int readFill = 0, readPos = 0;

// One overlapped record and event per write in progress: a write that pends
// dispatches messages, and a handler may write again before it completes.
struct WriteSlot {
  OVERLAPPED ov{};
  bool writer = false;
};
std::vector<std::unique_ptr<WriteSlot>> writeSlots;

WriteSlot* takeWriteSlot() {
  // A slot whose write was abandoned by a close stays out until the driver let it go.
  for (auto& s : writeSlots)
    if (!s->writer && HasOverlappedIoCompleted(&s->ov)) {
      s->writer = true;
      return s.get();
    }
  auto s = std::make_unique<WriteSlot>();
  s->ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!s->ov.hEvent) return nullptr;
  s->writer = true;
  writeSlots.push_back(std::move(s));
  return writeSlots.back().get();
}

constexpr BYTE STOP_BITS[3] = {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};
constexpr BYTE PARITIES[3] = {NOPARITY, ODDPARITY, EVENPARITY};

void setFormat(const LineSettings& line) {
  dcb.ByteSize = line.dataBitsIndex == 1 ? 7 : 8;
  dcb.Parity = PARITIES[line.parity];
  dcb.StopBits = STOP_BITS[line.stopBitsIndex];
  savedSize = dcb.ByteSize;
  savedParity = dcb.Parity;
  savedStopBits = dcb.StopBits;
  eightBitLine = dcb.ByteSize == 8;
  receiveEightBit = eightBitLine;  // the terminal keeps bit 7 only on an 8-bit line
}

// Takes what the driver holds, up to a chunk, in one read. The status query
// first clears line errors and says how much waits: a read asks for no more
// (some drivers, Wine's among them, hold an empty read despite the time-outs).
// The query fails only on a port that is gone (a device unplugged, the far
// end of a pseudo-terminal closed).
int refill() {
  readPos = readFill = 0;
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(port, &errors, &stat)) return LINK_LOST;
  DWORD want = stat.cbInQue < sizeof readChunk ? stat.cbInQue : static_cast<DWORD>(sizeof readChunk);
  if (want == 0) return 0;
  DWORD got = 0;
  if (!ReadFile(port, readChunk, want, &got, &readOv)) {
    if (GetLastError() != ERROR_IO_PENDING || !GetOverlappedResult(port, &readOv, &got, TRUE)) got = 0;
  }
  readFill = static_cast<int>(got < want ? got : want);
  return 0;
}

// Bytes read before the watcher started come first, then the watcher's; only
// a port without a watcher (dialing, a transfer's own tests) is read here.
int serialRead(uint8_t* buffer, int count) {
  if (!portOpen) return 0;
  if (readPos >= readFill) {
    const int n = serialWatcherTake(buffer, count);
    if (n > 0) return n;
    if (serialWatcherLost()) return LINK_LOST;
    if (serialWatcherRunning()) return 0;
    if (refill() == LINK_LOST) return LINK_LOST;
  }
  int n = readFill - readPos < count ? readFill - readPos : count;
  if (n <= 0) return 0;
  memcpy(buffer, readChunk + readPos, static_cast<size_t>(n));
  readPos += n;
  return n;
}

// Serves the window while a write pends. Serial notifications are held and
// posted again afterwards, so the input is drained by the main loop, not here.
void serveWhileWriting(HANDLE h, WriteSlot* slot) {
  std::vector<MSG> held;
  while (portOpen && port == h && !HasOverlappedIoCompleted(&slot->ov)) {
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_COMMNOTIFY, WM_COMMNOTIFY, PM_REMOVE)) held.push_back(m);
    if (pumpOne() == 0) MsgWaitForMultipleObjects(1, &slot->ov.hEvent, FALSE, 10, QS_ALLINPUT);
  }
  // The message's own lParam goes back: a start request (0) must stay one.
  for (const MSG& m : held) PostMessageA(m.hwnd, WM_COMMNOTIFY, m.wParam, m.lParam);
}

int serialWrite(const uint8_t* bytes, int length) {
  if (!portOpen) return -1;
  WriteSlot* slot = takeWriteSlot();
  if (!slot) return -1;
  ResetEvent(slot->ov.hEvent);
  HANDLE h = port;
  DWORD done = 0;
  if (!WriteFile(h, bytes, static_cast<DWORD>(length), &done, &slot->ov) && GetLastError() == ERROR_IO_PENDING)
    serveWhileWriting(h, slot);
  slot->writer = false;
  return length;
}

int serialPoll(int* inQueue, int* outQueue) {
  DWORD errors = 0;
  COMSTAT stat{};
  // Line errors are cleared and ignored; a failing query means the port is
  // gone, which is told once what it received before has been taken.
  const bool lost = portOpen && !ClearCommError(port, &errors, &stat);
  const int held = (readFill - readPos) + serialWatcherHeld();
  if (inQueue) *inQueue = static_cast<int>(stat.cbInQue) + held;
  if (outQueue) *outQueue = static_cast<int>(stat.cbOutQue);
  return lost && held == 0 ? LINK_LOST : 0;
}

int serialPurge(int which) {
  if (which == 0) {
    readPos = readFill = 0;
    serialWatcherDrop();
  }
  if (portOpen) PurgeComm(port, which == 0 ? (PURGE_RXABORT | PURGE_RXCLEAR) : (PURGE_TXABORT | PURGE_TXCLEAR));
  return 0;
}

void serialSetEvents(unsigned mask) {
  if (portOpen) SetCommMask(port, mask);
}

unsigned serialModemStatus() {
  DWORD status = 0;
  if (!portOpen || !GetCommModemStatus(port, &status)) return 0;
  return status;
}

void closePort() {
  if (port == INVALID_HANDLE_VALUE) return;
  // A pseudo-terminal has no modem lines: these may fail, the close goes on.
  EscapeCommFunction(port, CLRDTR);
  EscapeCommFunction(port, CLRRTS);
  SetCommMask(port, 0);
  serialWatcherStop();
  CloseHandle(port);
  port = INVALID_HANDLE_VALUE;
  portOpen = false;
  readPos = readFill = 0;
  if (readOv.hEvent) CloseHandle(readOv.hEvent);
  readOv = OVERLAPPED{};
}

// XON/XOFF asked for by a transfer or the text sender; asked off, the line
// keeps the session's own setting.
void serialSetSoftwareFlow(bool input, bool output) {
  if (!portOpen) return;
  dcb.fInX = input || sessionSoftwareFlow;
  dcb.fOutX = output || sessionSoftwareFlow;
  SetCommState(port, &dcb);
}

void serialSetTransferFormat(bool on) {
  if (!portOpen || eightBitLine) return;
  dcb.ByteSize = on ? 8 : savedSize;
  dcb.Parity = on ? static_cast<BYTE>(NOPARITY) : savedParity;
  dcb.StopBits = on ? static_cast<BYTE>(ONESTOPBIT) : savedStopBits;
  SetCommState(port, &dcb);
}

const LinkOps serialOps = {serialRead,        serialWrite, serialPoll, serialPurge,           serialSetEvents,
                           serialModemStatus, closePort,   false,      serialSetSoftwareFlow, serialSetTransferFormat};

void refuse(int message) {
  MessageBeep(MB_ICONHAND);
  messageBox(message, nullptr, MSG_OK | MSG_ICONSTOP);
}
}  // namespace

int serialOpenSession(const LineSettings& line) {
  if (portOpen) {
    refuse(TXT_BOOK_HANG_UP_FIRST);
    return -1;
  }
  dcb = DCB{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = lineSpeed(line.speedIndex);
  dcb.fBinary = TRUE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  dcb.XonLim = 512;
  dcb.XoffLim = 1024;
  sessionSoftwareFlow = line.flowControl == 2 || line.flowControl == 3;
  dcb.fInX = dcb.fOutX = sessionSoftwareFlow;
  const bool hardware = line.flowControl == 1 || line.flowControl == 3;
  dcb.fOutxCtsFlow = hardware;
  dcb.fRtsControl = hardware ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_DISABLE;
  setFormat(line);

  if (port != INVALID_HANDLE_VALUE) {
    PurgeComm(port, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    closePort();
  }
  char name[16];
  snprintf(name, sizeof name, "COM%d:", line.portIndex + 1);
  HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = MAXDWORD;  // reads return at once with what is there
  if (h == INVALID_HANDLE_VALUE || !SetCommTimeouts(h, &t)) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    refuse(TXT_DEVICE_OPEN_ERROR);
    return -1;
  }
  SetupComm(h, 4096, 4096);
  DCB first{};
  first.DCBlength = sizeof first;
  if (GetCommState(h, &first)) {
    first.BaudRate = 2400;
    first.ByteSize = 8;
    first.Parity = NOPARITY;
    first.StopBits = ONESTOPBIT;
    SetCommState(h, &first);
  }
  port = h;
  portOpen = true;
  readOv = OVERLAPPED{};
  readOv.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetCommState(port, &dcb);
  EscapeCommFunction(port, SETDTR);
  EscapeCommFunction(port, SETRTS);
  linkAttach(&serialOps);
  return 0;
}

void serialCloseSession() {
  if (port == INVALID_HANDLE_VALUE) return;
  if (linkConnected() && !linkIsSocket())
    linkClose();  // detaches the link and closes the port through it
  else
    closePort();
}

bool serialSessionOpen() { return portOpen; }
bool serialEightBitLine() { return eightBitLine; }
HANDLE serialPortHandle() { return portOpen ? port : INVALID_HANDLE_VALUE; }

int serialApplyFormat(const LineSettings& line) {
  if (!portOpen) return -1;
  setFormat(line);
  return SetCommState(port, &dcb) ? 0 : -1;
}

void serialBreak(int ms) {
  if (!portOpen) return;
  SetCommBreak(port);
  const DWORD start = GetTickCount();
  for (DWORD spent = 0; spent < static_cast<DWORD>(ms); spent = GetTickCount() - start)
    if (pumpOne() == 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  if (portOpen) ClearCommBreak(port);
}
