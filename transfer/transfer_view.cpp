#include "transfer/transfer_view.h"

#include <cstdio>

#include "shell/pump.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"

namespace {
void noText(int, const char*) {}
void noPercent(int) {}
void noBeep() {}
void noStart(const char*) {}
void noData(uint32_t) {}
constexpr TransferView idle = {noText, noPercent, noBeep, noStart, noData, noBeep};
}  // namespace

// Filled before any code runs, so the slots are callable even before the first reset.
TransferView transferView = idle;

void transferViewReset() { transferView = idle; }

void viewText(int field, const char* text) { transferView.setText(field, text ? text : ""); }

void viewNumber(int field, unsigned long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%lu", value);
  viewText(field, text);
}

void viewBeep() { transferView.beep(); }

void formatDuration(uint32_t ms, char out[16]) {
  unsigned hours = ms / 3600000u;
  unsigned minutes = ms / 60000u % 60u;
  unsigned seconds = ms / 1000u % 60u;
  std::snprintf(out, 16, "%02u:%02u:%02u", hours % 1000u, minutes, seconds);
}

ProgressFigures progressFigures(uint32_t byteCount, uint32_t fileSize, uint32_t resumeOffset,
                                uint32_t elapsedMs) {
  ProgressFigures f{elapsedMs, -1, -1, -1};
  if (elapsedMs >= 1000) {
    uint32_t moved = byteCount >= resumeOffset ? byteCount - resumeOffset : 0;
    f.rate = static_cast<long>(moved / (elapsedMs / 1000u));
    if (fileSize && f.rate > 0) {
      if (byteCount >= fileSize) f.remainingMs = 0;
      else {
        // A slow line and a size of gigabytes exceed a 32-bit long: clamp before the cast.
        double left = (fileSize - byteCount) / (f.rate * 0.001);
        f.remainingMs = left >= 2147483647.0 ? 2147483647L : static_cast<long>(left);
      }
    }
  }
  if (fileSize) {
    if (byteCount >= fileSize) f.percent = 100;
    else f.percent = static_cast<int>(byteCount / (fileSize * 0.01));
    if (f.percent > 100) f.percent = 100;
  }
  return f;
}

void updateProgress(int direction) {
  TransferState& s = transferState();
  s.progressTick = clockTicks();
  s.sending = direction != 0;
  ProgressFigures f = progressFigures(s.byteCount, s.fileSize, s.resumeOffset, clockTicks() - s.startTick);
  char text[32];
  viewNumber(FIELD_BYTE_COUNT, s.byteCount);
  formatDuration(f.elapsedMs, text);
  viewText(FIELD_ELAPSED, text);
  viewText(FIELD_ERROR, "None");
  viewText(FIELD_STATUS, direction ? "Sending" : "Receiving");
  if (f.rate >= 0) {
    std::snprintf(text, sizeof text, "%ld", f.rate);
    viewText(FIELD_RATE, text);
  }
  if (f.remainingMs >= 0) {
    formatDuration(static_cast<uint32_t>(f.remainingMs), text);
    viewText(FIELD_REMAINING, text);
  }
  if (f.percent < 0) {
    viewText(FIELD_PERCENT, "?");
  } else {
    std::snprintf(text, sizeof text, "%d %%", f.percent);
    viewText(FIELD_PERCENT, text);
  }
  int bar = f.percent < 0 ? 0 : f.percent;
  if (bar != s.lastPercent) transferView.setPercent(bar);
  s.lastPercent = bar;
}

void showRetry(const char* text) {
  viewText(FIELD_STATUS, "Retrying");
  viewText(FIELD_ERROR, text);
  viewNumber(FIELD_ERROR_COUNT, static_cast<unsigned long>(transferState().errorCount));
}

void showFileName(const char* path) { viewText(FIELD_FILENAME, baseName(path)); }

void showFileSize(uint32_t size) {
  if (size) viewNumber(FIELD_FILESIZE, size);
  else viewText(FIELD_FILESIZE, "Unknown");
}

void updateProgressPaced(int direction) {
  constexpr uint32_t PACE_MS = 100;
  TransferState& s = transferState();
  // The bar reaches 100 only with the whole file, so a moved bar covers the end.
  int percent = progressFigures(s.byteCount, s.fileSize, 0, 0).percent;
  if ((percent < 0 ? 0 : percent) != s.lastPercent || clockTicks() - s.progressTick >= PACE_MS)
    updateProgress(direction);
}
