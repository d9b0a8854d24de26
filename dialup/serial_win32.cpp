// COM port link with overlapped reads and writes. The modem-line calls may
// fail on ports without modem lines; that is not an error for the link.
#include <windows.h>

#include <cstdio>

#include "dialup/serial_win32.h"
#include "terminal/link.h"

static HANDLE port = INVALID_HANDLE_VALUE;
static OVERLAPPED readOv, writeOv;

static int serialRead(uint8_t* buffer, int count) {
  if (port == INVALID_HANDLE_VALUE) return 0;
  DWORD errors = 0;
  COMSTAT stat{};
  ClearCommError(port, &errors, &stat);
  DWORD want = stat.cbInQue < static_cast<DWORD>(count) ? stat.cbInQue : static_cast<DWORD>(count);
  if (want == 0) return 0;
  DWORD got = 0;
  if (!ReadFile(port, buffer, want, &got, &readOv)) {
    if (GetLastError() != ERROR_IO_PENDING) return 0;
    if (!GetOverlappedResult(port, &readOv, &got, TRUE)) return 0;
  }
  return static_cast<int>(got);
}

static int serialWrite(const uint8_t* bytes, int length) {
  if (port == INVALID_HANDLE_VALUE) return -1;
  DWORD done = 0;
  if (!WriteFile(port, bytes, static_cast<DWORD>(length), &done, &writeOv)) {
    if (GetLastError() != ERROR_IO_PENDING) return -1;
    if (!GetOverlappedResult(port, &writeOv, &done, TRUE)) return -1;
  }
  return static_cast<int>(done);
}

static int serialPoll(int* inQueue, int* outQueue) {
  DWORD errors = 0;
  COMSTAT stat{};
  if (port != INVALID_HANDLE_VALUE) ClearCommError(port, &errors, &stat);
  if (inQueue) *inQueue = static_cast<int>(stat.cbInQue);
  if (outQueue) *outQueue = static_cast<int>(stat.cbOutQue);
  return 0;
}

static int serialPurge(int which) {
  if (port == INVALID_HANDLE_VALUE) return 0;
  PurgeComm(port, which == 0 ? (PURGE_RXABORT | PURGE_RXCLEAR) : (PURGE_TXABORT | PURGE_TXCLEAR));
  return 0;
}

static void serialSetEvents(unsigned mask) {
  if (port != INVALID_HANDLE_VALUE) SetCommMask(port, mask);
}

static unsigned serialModemStatus() {
  DWORD status = 0;
  if (port == INVALID_HANDLE_VALUE || !GetCommModemStatus(port, &status)) return 0;
  return status;
}

static void serialClose() {
  if (port == INVALID_HANDLE_VALUE) return;
  CloseHandle(port);
  CloseHandle(readOv.hEvent);
  CloseHandle(writeOv.hEvent);
  port = INVALID_HANDLE_VALUE;
}

static void serialSetSoftwareFlow(bool input, bool output) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (port == INVALID_HANDLE_VALUE || !GetCommState(port, &dcb)) return;
  dcb.fInX = input ? TRUE : FALSE;
  dcb.fOutX = output ? TRUE : FALSE;
  SetCommState(port, &dcb);
}

// A 7-bit session line carries 8-bit transfers as 8-N-1; its own format is
// kept to put back.
static bool formatSaved = false;
static BYTE savedSize, savedParity, savedStopBits;

static void serialSetTransferFormat(bool on) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (port == INVALID_HANDLE_VALUE || !GetCommState(port, &dcb)) return;
  if (on) {
    if (formatSaved || dcb.ByteSize != 7) return;
    savedSize = dcb.ByteSize;
    savedParity = dcb.Parity;
    savedStopBits = dcb.StopBits;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (SetCommState(port, &dcb)) formatSaved = true;
    return;
  }
  if (!formatSaved) return;
  formatSaved = false;
  dcb.ByteSize = savedSize;
  dcb.Parity = savedParity;
  dcb.StopBits = savedStopBits;
  SetCommState(port, &dcb);
}

static const LinkOps serialOps = {serialRead, serialWrite, serialPoll, serialPurge,
                                  serialSetEvents, serialModemStatus, serialClose, false,
                                  serialSetSoftwareFlow, serialSetTransferFormat};

int serialOpen(int number, unsigned long speed) {
  formatSaved = false;
  if (number < 1 || number > 8) return -1;
  linkClose();
  char name[16];
  snprintf(name, sizeof name, "\\\\.\\COM%d", number);
  HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED, nullptr);
  if (h == INVALID_HANDLE_VALUE) return -1;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  GetCommState(h, &dcb);
  dcb.BaudRate = speed;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  SetCommState(h, &dcb);
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = MAXDWORD;  // reads return at once with what is there
  SetCommTimeouts(h, &t);
  port = h;
  readOv = OVERLAPPED{};
  writeOv = OVERLAPPED{};
  readOv.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  writeOv.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  linkAttach(&serialOps);
  return 0;
}
