// The serial line on the host: the frame's connection table over a terminal
// device (a pseudo-terminal standing for COM1 to COM8), opened at once.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "dialup/serial_connection.h"
#include "dialup/serial_connection_posix.h"
#include "frame/frame_session.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "terminal/link.h"
#include "terminal/link_fd_posix.h"
#include "terminal/receive.h"

namespace {
std::string devices[8];
bool portOpen = false;
bool eightBit = true;

int lineOpen(const SessionProfile& profile) {
  if (serialPosixAttach(profile.line.portIndex) < 0) {
    frameAttemptEnded();
    return -1;
  }
  portOpen = true;
  eightBit = profile.line.dataBitsIndex == 0;
  frameEstablished();
  return 0;
}

void lineClose() {
  if (!portOpen) return;
  portOpen = false;
  linkClose();
  frameLost();
}

bool never() { return false; }
bool noMessage(unsigned, uintptr_t, intptr_t) { return false; }
uintptr_t noDialog() { return 0; }
void nothing() {}
void noRecord(uint8_t*) {}
void noSize(int, int) {}

// The terminal keeps bit 7 of received bytes only on an 8-bit line.
void attach() { receiveEightBit = eightBit; }

void statusText(char* text, int size) {
  char line[64];
  serialLineText(frameSession.profile.line, line, sizeof line);
  snprintf(text, static_cast<size_t>(size), "%s is connected to %s", frameSession.profile.name, line);
}

bool breakOnly(int special) { return special == SPECIAL_BREAK; }
void noSpecial(int, uintptr_t) {}
}  // namespace

void serialPosixSetDevice(int portIndex, const char* path) {
  if (portIndex >= 0 && portIndex < 8) devices[portIndex] = path ? path : "";
}

const char* serialPosixDevice(int portIndex) {
  return portIndex >= 0 && portIndex < 8 ? devices[portIndex].c_str() : "";
}

int serialPosixAttach(int portIndex) {
  const char* path = serialPosixDevice(portIndex);
  int fd = path[0] ? ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK) : -1;
  if (fd < 0) {
    messageBeep();
    messageBox(TXT_DEVICE_OPEN_ERROR, nullptr, MSG_OK | MSG_ICONSTOP);
    return -1;
  }
  termios t{};
  if (tcgetattr(fd, &t) == 0) {
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
  }
  linkAttachFd(fd, false);
  return 0;
}

int serialPosixDrain() {
  if (!portOpen) return 0;
  int result = frameDataWaiting();
  if (result == LINK_LOST) lineClose();
  return result;
}

const FrameConnection SERIAL_CONNECTION = {
    "serial", 0,       lineOpen,    lineClose,      never,    noMessage,  noDialog,  nothing, nothing,
    attach,   nothing, noRecord, noSize,    statusText, breakOnly, noSpecial,
};
