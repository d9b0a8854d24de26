// Any bytes from an FTP server on the control connection: replies are read to
// the end of the stream with no crash or overrun, every kept text is bounded,
// and the texts the data commands parse (PASV address, announced size) are
// taken apart safely.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "ftp/ftp_session.h"
#include "shell/pump_posix.h"
#include "terminal/link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 60000) return 0;
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) return 0;
  int big = 1 << 18;
  setsockopt(pair[1], SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
  setsockopt(pair[0], SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
  const int kind = data[0] % 23 - 1;  // every command kind, and the restore
  ssize_t written = write(pair[1], data + 1, size - 1);
  close(pair[1]);
  if (written != static_cast<ssize_t>(size - 1)) {
    close(pair[0]);
    return 0;
  }
  fcntl(pair[0], F_SETFL, fcntl(pair[0], F_GETFL) | O_NONBLOCK);

  clockUseManual(1);
  ftpResetHooks();
  ftpSessionReset();
  ftp.control = pair[0];
  ftp.recvBuffer.assign(4096, 0);
  ftp.connected = ftp.canSend = true;
  ftp.transferRunning = data[0] & 1;
  ftp.systemType = 1;
  for (int replies = 0; replies < 100000; ++replies) {
    int code = ReadFtpReply(kind);
    if (code == LINK_LOST) break;
    if (code < 0 || code > 999) std::abort();
    if (std::strlen(ftp.lastReplyText) > FTP_REPLY_TEXT_MAX) std::abort();
    uint32_t ip;
    int port;
    if (ftpParsePasv(ftp.lastReplyText, &ip, &port) && (port < 0 || port > 65535)) std::abort();
    std::string shown;
    if (ftpAnnouncedSize(ftp.lastReplyText, &shown) < 0) std::abort();
    ftpUpdateRemotePath(ftp.lastReplyText);
    if (std::strlen(ftp.remotePath) > FTP_PATH_MAX) std::abort();
  }
  ftpSessionReset();  // closes pair[0]
  return 0;
}
