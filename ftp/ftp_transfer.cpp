// The transfer dialog's work: downloads written block by block, uploads read
// block by block, progress after every 1024 bytes, cancel and abort.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "ftp/ftp_session.h"
#include "ftp/ftp_wait.h"
#include "shell/pump.h"
#include "terminal/link.h"

namespace {
// Bytes moved per socket call; progress and the feed still count 1024-byte
// blocks, and a broken download keeps whole blocks only.
constexpr int kChunk = 256 * FTP_BLOCK;

void closeData() {
  ftpSockClose(ftp.dataSocket);
  ftp.dataSocket = FTP_NO_SOCKET;
}

bool containsJpg(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper.find(".JPG") != std::string::npos;
}

// Reports every 1024-byte block up to the new offset.
void blocksDone(int64_t from, int64_t to, bool sending, bool feed) {
  for (int64_t at = from; at < to;) {
    int64_t step = to - at < FTP_BLOCK ? to - at : FTP_BLOCK;
    at += step;
    ftp.offset = at;
    if (feed) ftpHooks.feedBlock(at);
    ftpHooks.progress(ftpProgressNow(sending));
  }
}

void finished(bool terminated) {
  ftp.transferRunning = false;
  ftpHooks.beep();
  ftpHooks.transferStatus(terminated ? FTP_TEXT_TERMINATED : FTP_TEXT_DONE);
}

// After a cancel: read and drop what the data connection still brings, until
// it closes or half a minute has passed.
void drainData() {
  volatile bool expired = false;
  timerStart(FTP_TIMER_DRAIN, FTP_DRAIN_MS, &expired);
  uint8_t scrap[FTP_BLOCK * 16];
  while (!expired) {
    int n = ftpSockRecv(ftp.dataSocket, scrap, sizeof scrap);
    if (n == 0 || (n < 0 && n != FTP_SOCK_WOULDBLOCK)) break;
    if (n == FTP_SOCK_WOULDBLOCK && ftpIdle(ftp.dataSocket, false) < 0) break;
  }
  timerKill(FTP_TIMER_DRAIN);
}

// Sends all bytes on the data connection; false when it broke or was cancelled.
bool sendData(const uint8_t* bytes, int length) {
  while (length > 0 && ftp.dataSocket != FTP_NO_SOCKET) {
    if (ftp.transferAbort) return false;
    int n = ftpSockSend(ftp.dataSocket, bytes, length, false);
    if (n > 0) {
      ftp.idleSince = clockTicks();
      bytes += n;
      length -= n;
      if (ftpPumpDue() < 0) return false;
    } else if (n == FTP_SOCK_HARD) {
      return false;
    } else if (ftp.cancelRequest) {
      ftp.cancelRequest = false;
      ftp.transferAbort = true;
    } else if (ftpWaitAbandoned() || ftpIdle(ftp.dataSocket, true) < 0) {
      // A server that takes nothing for two minutes is taken as gone.
      return false;
    }
  }
  return length == 0;
}
}  // namespace

FtpProgress ftpProgressNow(bool sending) {
  FtpProgress p{};
  p.offset = ftp.offset;
  p.size = ftp.announcedSize;
  p.sending = sending;
  p.elapsedMs = clockTicks() - ftp.startTick;
  p.percent = -1;
  if (p.elapsedMs >= 1000) {
    p.rate = static_cast<long>((ftp.offset - ftp.restartOffset) / (p.elapsedMs / 1000));
    if (p.size > 0 && p.rate != 0) {
      // A size announced by the server can be anything: clamp before the cast.
      double left = ftp.offset >= p.size ? 0 : (p.size - ftp.offset) / (p.rate * 0.001);
      p.remainingMs = left >= 4294967295.0 ? 4294967295u : static_cast<uint32_t>(left);
    }
  }
  if (p.size > 0) {
    double percent = ftp.offset / (p.size * 0.01);
    p.percent = ftp.offset >= p.size || percent > 100 ? 100 : static_cast<int>(percent);
  }
  return p;
}

void ftpCancelTransfer() {
  if (!ftp.transferRunning || ftp.transferAbort) return;
  // Uploads end by closing the data connection; downloads ask the server.
  if (ftp.transferKind == KIND_GET) SendAbortSequence();
  ftp.transferAbort = true;
  ftpHooks.transferStatus(FTP_TEXT_ABORT_SENT);
}

int ftpDownloadRun() {
  ftpHooks.transferStatus("Receiving");
  const bool feed = ftp.realtimeJpeg && containsJpg(ftp.localName);
  if (feed) ftpHooks.feedStart(ftp.localPath.c_str());
  LocalFile file = localOpenWrite(ftp.localPath.c_str(), !ftp.restart);
  ftp.offset = ftp.restart ? ftp.restartOffset : 0;
  std::string shown;
  ftp.announcedSize = ftpAnnouncedSize(ftp.lastReplyText, &shown);
  ftpHooks.transferSize(shown.c_str());
  ftp.startTick = clockTicks();
  ftp.transferFailed = file == LOCAL_NO_FILE;
  if (ftp.transferFailed) ftpCancelTransfer();

  std::vector<uint8_t> buffer(kChunk);
  int fill = 0;
  ftp.idleSince = clockTicks();
  while (!ftp.transferAbort) {
    int n = ftpSockRecv(ftp.dataSocket, buffer.data() + fill, kChunk - fill);
    if (n == FTP_SOCK_WOULDBLOCK) {
      if (ftp.cancelRequest) {
        ftp.cancelRequest = false;
        ftpCancelTransfer();
        continue;
      }
      // A server that stops sending is taken as gone (see ftpWaitAbandoned).
      if (ftpWaitAbandoned()) {
        ftp.transferFailed = true;
        break;
      }
      if (ftpIdle(ftp.dataSocket, false) < 0) break;
      continue;
    }
    ftp.idleSince = clockTicks();
    if (n < 0) {
      // A broken connection keeps the whole blocks and ends as terminated.
      ftp.transferFailed = true;
      break;
    }
    fill += n;
    // Whole blocks go to the file at once; the end of data writes the rest.
    int whole = n == 0 ? fill : fill - fill % FTP_BLOCK;
    if (whole > 0) {
      if (localWriteAt(file, ftp.offset, buffer.data(), whole) != 0) {
        // A full disk ends the transfer as terminated, keeping what was written.
        ftp.transferFailed = true;
        ftpCancelTransfer();
        break;
      }
      blocksDone(ftp.offset, ftp.offset + whole, false, feed);
      std::memmove(buffer.data(), buffer.data() + whole, static_cast<size_t>(fill - whole));
      fill -= whole;
    }
    if (n == 0) break;
    if (ftpPumpDue() < 0) break;
  }
  localClose(file);
  const bool aborted = ftp.transferAbort;
  if (aborted) drainData();
  closeData();
  int code = ftp.lost ? LINK_LOST : 0;
  if (aborted && code == 0) code = ReadFtpReplyWithin(KIND_GET, FTP_ABORT_REPLY_MS);
  ftp.restart = false;
  ftp.restartOffset = 0;
  ftp.localName.clear();
  if (feed) ftpHooks.feedEnd();
  if (ftp.openAfterDownload && !aborted && !ftp.transferFailed) ftpHooks.openFile(ftp.localPath.c_str());
  if (code != LINK_LOST)
    code = aborted ? ReadFtpReplyWithin(KIND_GET, FTP_ABORT_REPLY_MS) : ReadFtpReply(KIND_GET);
  if (!aborted && !ftp.transferFailed && code != LINK_LOST) ftpHooks.nextDownload();
  finished(aborted || ftp.transferFailed);
  return code == LINK_LOST ? LINK_LOST : aborted || ftp.transferFailed ? -1 : 0;
}

int ftpUploadRun() {
  ftpHooks.transferStatus("Sending");
  int result = 0;
  bool first = true;
  for (;;) {
    if (!first || ftp.batch) {
      if (ftp.uploadList.empty() || ftp.transferAbort) break;
      ftp.localPath = ftp.uploadList.front();
      ftp.uploadList.erase(ftp.uploadList.begin());
      std::string name = ftp.localPath.substr(ftp.localPath.find_last_of(":\\/") + 1);
      int r = RunDataCommand(("STOR " + name + "\r\n").c_str(), KIND_PUT);
      if (r < 0) return r;
    }
    first = false;
    int64_t size = localFileSize(ftp.localPath.c_str());
    ftp.announcedSize = size > 0 ? size : 0;
    ftpHooks.transferSize(size > 0 ? std::to_string(size).c_str() : "Unknown");
    ftp.offset = ftp.restart ? ftp.restartOffset : 0;
    ftp.startTick = clockTicks();
    LocalFile file = localOpenRead(ftp.localPath.c_str());
    ftp.transferFailed = file == LOCAL_NO_FILE;
    ftp.idleSince = clockTicks();
    std::vector<uint8_t> buffer(kChunk);
    while (!ftp.transferFailed && !ftp.transferAbort) {
      int n = localReadAt(file, ftp.offset, buffer.data(), kChunk);
      if (n < 0) {
        // An unreadable file ends as terminated, not as done.
        ftp.transferFailed = true;
        break;
      }
      if (n == 0) break;
      int64_t from = ftp.offset;
      if (!sendData(buffer.data(), n)) {
        ftp.transferFailed = true;
        break;
      }
      blocksDone(from, from + n, true, false);
    }
    localClose(file);
    closeData();  // the end of the file for the server
    if (ftp.lost) return LINK_LOST;
    int code = ReadFtpReply(KIND_PUT);
    if (code == LINK_LOST) return LINK_LOST;
    if (ftp.transferFailed) ftp.transferAbort = true;
    if (!ftp.batch) break;
  }
  finished(ftp.transferAbort);
  return result;
}

int ftpTransferFinish() {
  ftp.transferRunning = false;
  ftp.batch = false;
  ftp.uploadList.clear();
  return SendFtpCommand("TYPE A N\r\n", KIND_RESTORE) == LINK_LOST ? LINK_LOST : 0;
}
