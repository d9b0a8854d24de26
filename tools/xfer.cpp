// xfer: the file-transfer protocols over standard input and output, so that
// socat can put any peer on the other side.
//
// xfer send    --protocol P [--crash-recover] [--escape-control] [--packet-size N] [--eight-bit] [--max-errors N] FILE...
// xfer receive --protocol P --dir DIR [--crash-recover] [--packet-size N] [--eight-bit] [--max-errors N] [FILE]
//              ZMODEM also: [--escape-control] [--skip-existing] [--segmented]
// xfer send    --protocol ascii [--end C] [--strip-linefeed] FILE
// xfer receive --protocol ascii [--end C] FILE
//
// P: xmodem, xmodem-crc, xmodem-1k, ymodem, ymodem-g, zmodem, kermit. FILE after
// receive is XMODEM's local file name. C is typed as in the Options page: "^D"
// for 0x04. An ASCII receive without an end character keeps what came before
// the line closed. Exit 0 on success; otherwise the error
// text on stderr and exit 1 (2 for a wrong command line).
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "terminal/link.h"
#include "terminal/link_fd_posix.h"
#include "shell/pump_posix.h"
#include "transfer/ascii_transfer.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_state.h"

namespace {
// The line: read standard input, write standard output (one socket or two pipes).
bool lost = false;
// This process has nothing to do but the transfer: from the second empty poll
// in a row (no read or write between) a poll waits briefly for input instead
// of spinning, so a reply is taken the moment it arrives and no processor is
// burnt meanwhile. The first stays quick: an engine looks once before it
// writes (a stale reply, a receiver's cancel).
int emptyPolls = 0;
constexpr int POLL_WAIT_MS = 2;
// A streaming receive (ZMODEM data, YMODEM-G) answers nothing until the end
// of the stream: after a read of streamed data, a look that finds less than
// a block waiting lets the line gather for a moment first. Each wake-up for
// a sliver costs a process switch on both ends of the pipe; protocols that
// answer every block never gather (their next block waits for our answer).
bool gatherStream = false;
constexpr int STREAM_READ = 1024;  // a read this long is streamed data, not a header
constexpr int GATHER_BYTES = 8192;
constexpr long GATHER_NS = 300 * 1000;
int lastReadBytes = 0;

int stdioRead(uint8_t* buffer, int count) {
  if (lost) return LINK_LOST;
  ssize_t n = read(0, buffer, static_cast<size_t>(count));
  emptyPolls = 0;
  if (n > 0) lastReadBytes = static_cast<int>(n);
  if (n > 0) return static_cast<int>(n);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return 0;
  lost = true;
  return LINK_LOST;
}

int stdioWrite(const uint8_t* bytes, int length) {
  emptyPolls = 0;
  int done = 0;
  while (done < length) {
    ssize_t n = write(1, bytes + done, static_cast<size_t>(length - done));
    if (n > 0) {
      done += static_cast<int>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      pollfd p{1, POLLOUT, 0};
      poll(&p, 1, 1000);
    } else {
      lost = true;
      return -1;
    }
  }
  return done;
}

int stdioPoll(int* inQueue, int* outQueue) {
  if (outQueue) *outQueue = 0;
  if (inQueue) *inQueue = 0;
  if (lost) return LINK_LOST;
  // The poll first: most looks find nothing, and then one call answers.
  pollfd p{0, POLLIN, 0};
  int ready = poll(&p, 1, emptyPolls >= 1 ? POLL_WAIT_MS : 0);
  emptyPolls = ready == 1 ? 0 : emptyPolls + 1;
  if (ready == 1) {
    int waiting = 0;
    if (ioctl(0, FIONREAD, &waiting) < 0 || waiting <= 0) waiting = 1;  // readable: at least one byte or the end
    if (gatherStream && lastReadBytes >= STREAM_READ && waiting < GATHER_BYTES) {
      lastReadBytes = 0;  // once until data streams again: a closing header waits no more
      timespec pause{0, GATHER_NS};
      nanosleep(&pause, nullptr);
      if (ioctl(0, FIONREAD, &waiting) < 0 || waiting <= 0) waiting = 1;
    }
    if (inQueue) *inQueue = waiting;
  }
  return 0;
}

int stdioPurge(int which) {
  if (which != 0) return 0;
  uint8_t sink[4096];
  while (stdioPoll(nullptr, nullptr) == 0) {
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, 0) != 1) break;
    if (read(0, sink, sizeof sink) <= 0) {
      lost = true;
      break;
    }
  }
  return 0;
}

// Standard input on a terminal (a pseudo-terminal standing for a serial
// port) takes the transfer's serial settings.
void stdioSoftwareFlow(bool input, bool output) { fdSetSoftwareFlow(0, input, output); }
void stdioTransferFormat(bool on) { fdSetTransferFormat(0, on); }

const LinkOps stdioOps = {stdioRead, stdioWrite, stdioPoll,          stdioPurge,         nullptr,
                          nullptr,   nullptr,    false, stdioSoftwareFlow, stdioTransferFormat};

// The line's XON/XOFF before the transfer stands for the session's flow
// control setting, which the transfer gives back at its end.
int flowControlOfLine() {
  termios t{};
  if (!isatty(0) || tcgetattr(0, &t) != 0) return 0;
  return (t.c_iflag & IXON) && (t.c_iflag & IXOFF) ? 2 : 0;
}

// After the last reply the peer may still write (a repeated end block): read
// until the line has been quiet for a moment, so it does not meet a closed socket.
// Such a write follows the reply at once; a longer wait would only add to
// every transfer over a line that never closes (a pseudo-terminal).
void lingerQuietly() {
  uint8_t sink[4096];
  for (;;) {
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, 30) != 1) break;
    if (read(0, sink, sizeof sink) <= 0) break;
  }
}

int usage(const char* why) {
  std::fprintf(stderr, "xfer: %s\n", why);
  std::fprintf(stderr,
               "usage: xfer send --protocol P [--crash-recover] [--escape-control] [--packet-size N] "
               "[--eight-bit] [--max-errors N] FILE...\n"
               "       xfer receive --protocol P --dir DIR [--crash-recover] [--packet-size N] [--eight-bit]\n"
               "                    [--escape-control] [--skip-existing] [--segmented] [--max-errors N] [FILE]\n"
               "       xfer send --protocol ascii [--end C] [--strip-linefeed] FILE\n"
               "       xfer receive --protocol ascii [--end C] FILE\n");
  return 2;
}

bool number(const char* text, int low, int high, int* out) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (!text[0] || *end || v < low || v > high) return false;
  *out = static_cast<int>(v);
  return true;
}

int fail(int code) {
  const char* text = transferErrorText(code);
  std::fprintf(stderr, "%s\n", text[0] ? text : "Protocol Error");
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage("send or receive?");
  bool sending = std::strcmp(argv[1], "send") == 0;
  if (!sending && std::strcmp(argv[1], "receive") != 0) return usage("send or receive?");
  TransferSettings settings = transferSettingsDefault();
  int protocol = -1;
  const char* dir = nullptr;
  std::vector<std::string> files;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--protocol" && hasValue) {
      protocol = protocolFromToolName(argv[++i]);
      if (protocol < 0) return usage("unknown protocol");
    } else if (a == "--dir" && hasValue && !sending) {
      dir = argv[++i];
    } else if (a == "--end" && hasValue) {
      const char* c = argv[++i];
      if (!c[0] || std::strlen(c) > 2) return usage("--end takes one character or ^ and one");
      std::snprintf(settings.endChar, sizeof settings.endChar, "%s", c);
    } else if (a == "--strip-linefeed" && sending) {
      settings.stripLinefeed = true;
    } else if (a == "--crash-recover") {
      settings.zmodemCrashRecover = true;
    } else if (a == "--escape-control") {
      settings.zmodemEscapeControl = true;
    } else if (a == "--eight-bit") {
      settings.kermitEightbit = true;
    } else if (a == "--skip-existing" && !sending) {
      settings.zmodemSkipExisting = true;
    } else if (a == "--segmented") {
      settings.zmodemSegmented = true;
    } else if (a == "--packet-size" && hasValue) {
      if (!number(argv[++i], KERMIT_PACKET_MIN, KERMIT_PACKET_MAX, &settings.kermitPacketSize))
        return usage("--packet-size takes 65 to 9024");
    } else if (a == "--max-errors" && hasValue) {
      if (!number(argv[++i], 1, 1000, &settings.maxErrors)) return usage("--max-errors takes 1 to 1000");
    } else if (!a.empty() && a[0] == '-') {
      return usage(("unknown option " + a).c_str());
    } else {
      files.push_back(a);
    }
  }
  if (protocol < 0) return usage("--protocol is missing");
  bool ascii = protocol == PROTOCOL_ASCII;
  settings.protocol = protocol;

  settings.flowControl = flowControlOfLine();
  TransferState& s = transferState();
  transferBegin(s, settings);
  if (sending) {
    if (files.empty()) return usage("no file to send");
    if ((ascii || protocolIsXmodem(protocol)) && files.size() != 1) return usage("XMODEM and ASCII send one file");
    for (const std::string& f : files) {
      if (!fileExists(f.c_str())) return fail(XFER_FILE_OPEN);
      if (batchAdd(s.batch, f.c_str()) < 0) return usage("file name too long");
    }
    std::snprintf(s.localPath, sizeof s.localPath, "%s", files[0].c_str());
  } else if (ascii) {
    if (files.size() != 1) return usage("ASCII receives into one FILE");
    std::snprintf(s.localPath, sizeof s.localPath, "%s", files[0].c_str());
    if (fileCreate(s.localPath) < 0) return fail(XFER_FILE_OPEN);
  } else {
    if (!dir) return usage("--dir is missing");
    if (protocolIsXmodem(protocol)) {
      if (files.size() != 1) return usage("XMODEM receives into one FILE");
      if (receivedFilePath(dir, files[0].c_str(), s.localPath, sizeof s.localPath) < 0) return fail(XFER_FILE_OPEN);
      if (fileCreate(s.localPath) < 0) return fail(XFER_FILE_OPEN);
    } else if (!files.empty()) {
      return usage("only XMODEM takes a FILE to receive into");
    }
    std::snprintf(s.settings.downloadDir, sizeof s.settings.downloadDir, "%s", dir);
  }

  clockUseRealTime();
  gatherStream = !sending && (protocol == PROTOCOL_ZMODEM || protocol == PROTOCOL_YMODEM_G);
  fcntl(0, F_SETFL, fcntl(0, F_GETFL, 0) | O_NONBLOCK);
  fcntl(1, F_SETFL, fcntl(1, F_GETFL, 0) | O_NONBLOCK);
  linkAttach(&stdioOps);
  s.active = true;
  transferLineTake(sending);
  int result;
  if (sending) {
    result = protocolSend(protocol);
    if (result > 0) result = XFER_PROTOCOL_ERROR;
  } else {
    result = receiveBegin();
    if (result >= 0) result = receiveRun();
    if (ascii && result != STEP_COMPLETE && asciiReceiveFlush() < 0) result = XFER_FILE_WRITE;
    if (result == STEP_COMPLETE) {
      result = 0;
      // ZMODEM's end is a closing exchange ("OO" read after our ZFIN): nothing follows.
      if (protocol != PROTOCOL_ZMODEM) lingerQuietly();
    }
    else if (result == XFER_TIMEOUT && s.endCode) result = s.endCode;
    else if (result == XFER_USER_CANCEL) result = XFER_USER_CANCEL;
  }
  transferLineGiveBack();
  linkAttach(nullptr);
  return result == 0 ? 0 : fail(result);
}
