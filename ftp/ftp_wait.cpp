#include "ftp/ftp_wait.h"

#include "shell/pump.h"

namespace {
uint32_t lastPump = 0;
constexpr uint32_t kPumpEveryMs = 40;

int pump() {
  lastPump = clockTicks();
  return pumpOne() < 0 ? -1 : 0;
}
}  // namespace

int ftpIdle(FtpSocket socket, bool forWrite) {
  if (ftpSockWait(socket, forWrite, 2) && clockTicks() - lastPump < kPumpEveryMs) return 0;
  return pump();
}

int ftpPumpDue() { return clockTicks() - lastPump >= kPumpEveryMs ? pump() : 0; }
