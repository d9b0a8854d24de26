#include "tests/ftp/ftp_harness.h"

#include <poll.h>

#include "tests/support/peers.h"

FtpRecord ftpRecord;

void ftpHarnessReset(bool realTime, uint32_t manualStep) {
  if (realTime) clockUseRealTime();
  else clockUseManual(manualStep);
  settingsReset();
  ftpSessionReset();
  ftpResetHooks();
  ftpRecord = FtpRecord();
  ftpHooks.writeSession = [](const char* bytes, int length) { ftpRecord.view.append(bytes, static_cast<size_t>(length)); };
  ftpHooks.message = [](const char* text, const char* title) {
    ftpRecord.messages.push_back(std::string(title) + ": " + text);
  };
  ftpHooks.transferStatus = [](const char* text) { ftpRecord.statuses.push_back(text); };
  ftpHooks.beep = [] { ++ftpRecord.beeps; };
  ftpHooks.feedBlock = [](int64_t) { ++ftpRecord.feedBlocks; };
  ftpHooks.progress = [](const FtpProgress& p) { ftpRecord.progress.push_back(p.offset); };
}

Scripted::Scripted(std::vector<ScriptStep> steps, bool realTime, uint32_t manualStep) {
  ftpHarnessReset(realTime, manualStep);
  connected = scriptServerStart(&server, std::move(steps)) && ftpConnect("127.0.0.1", server.port, 5000) == 0;
}

std::string Scripted::end() {
  if (ended) return scriptReceived(&server);
  ended = true;
  scriptServerStop(&server, 5000);
  EXPECT_EQ(server.failure, "");
  return scriptReceived(&server);
}

DataPeer::~DataPeer() {
  if (runner.joinable()) runner.join();
  if (listener >= 0) close(listener);
}

bool dataPeerStart(DataPeer* peer, const std::string& bytes, bool collect, bool reset, int holdMs,
                   unsigned long host) {
  peer->listener = tcpListen(&peer->port, host);
  if (peer->listener < 0) return false;
  peer->runner = std::thread([peer, bytes, collect, reset, holdMs] {
    pollfd p{peer->listener, POLLIN, 0};
    if (poll(&p, 1, 5000) != 1) return;
    int fd = accept(peer->listener, nullptr, nullptr);
    if (fd < 0) return;
    if (collect) {
      char buf[4096];
      ssize_t n;
      while ((n = read(fd, buf, sizeof buf)) > 0) peer->received.append(buf, static_cast<size_t>(n));
    } else if (!bytes.empty()) {
      ssize_t ignored = write(fd, bytes.data(), bytes.size());
      (void)ignored;
    }
    if (holdMs > 0) usleep(static_cast<useconds_t>(holdMs) * 1000);
    if (reset) {
      // Let the bytes arrive, then break the connection.
      usleep(100000);
      linger abort{1, 0};
      setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    close(fd);
  });
  return true;
}

std::string pasvReply(const DataPeer& peer) {
  return "227 Entering Passive Mode (127,0,0,1," + std::to_string(peer.port >> 8) + "," +
         std::to_string(peer.port & 0xFF) + ")\r\n";
}
