#include "terminal/capture.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

#include "terminal/hooks.h"
#include "terminal/notice.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/transparent_print.h"

namespace {

struct Capture {
  bool wanted = false;
  std::string path;
  uint8_t* buffer = nullptr;  // allocated while a capture runs
  int fill = 0;
};

Capture capture;

void release() {
  delete[] capture.buffer;
  capture.buffer = nullptr;
  capture.fill = 0;
}

// Appends what is held; a failed append stops the capture with a message
// instead of dropping the data without a word.
bool flush() {
  if (capture.fill == 0) return true;
  std::FILE* f = std::fopen(capture.path.c_str(), "ab");
  bool ok = f && std::fwrite(capture.buffer, 1, capture.fill, f) == static_cast<size_t>(capture.fill);
  if (f && std::fclose(f) != 0) ok = false;
  capture.fill = 0;
  if (ok) return true;
  release();
  capture.wanted = false;
  noticeShow(TEXT_LOG_OPEN_ERROR, "Message");
  noticeCaptureChanged(false);
  return false;
}

void put(uint8_t b) { capture.buffer[capture.fill++] = b; }

}  // namespace

std::string captureLogPath(const std::string& logDir, const std::string& fallbackDir,
                           const std::string& entryName) {
  std::string name = entryName;
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':') c = '_';
  if (name.empty() || name == "." || name == "..") name = "session";
  return (std::filesystem::path(logDir.empty() ? fallbackDir : logDir) / (name + ".log")).string();
}

int startCapture(const std::string& path) {
  if (capture.buffer) stopCapture(true);
  capture.path = path;
  std::error_code ec;
  bool exists = std::filesystem::exists(path, ec);
  if (!exists || noticeAskYes(TEXT_CAPTURE_EXISTS)) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
      capture.wanted = false;
      noticeShow(TEXT_LOG_OPEN_ERROR, "Message");
      noticeCaptureChanged(false);
      return -1;
    }
    std::fclose(f);
  }
  capture.buffer = new (std::nothrow) uint8_t[CAPTURE_BUFFER_SIZE];
  if (!capture.buffer) {
    capture.wanted = false;
    noticeShow(TEXT_CAPTURE_NO_MEMORY, "Error");
    noticeCaptureChanged(false);
    return -1;
  }
  capture.fill = 0;
  capture.wanted = true;
  printHooksInstall();
  noticeCaptureChanged(true);
  return 0;
}

void stopCapture(bool wanted) {
  if (capture.buffer && flush()) release();
  capture.wanted = capture.wanted && wanted;
  noticeCaptureChanged(false);
}

void captureByte(uint8_t b) {
  if (!capture.buffer) return;
  if (terminalOptions.stripHighBit) b &= 0x7F;
  if (b == 0) return;
  if (b == '\t') {
    // The byte path has not moved the cursor for this byte yet.
    int column = screen.column < 0 ? 0 : (screen.column > LINE_CELLS ? LINE_CELLS : screen.column);
    for (int n = 8 - column % 8; n > 0; --n) put(' ');
  } else {
    put(b);
  }
  if (capture.fill >= CAPTURE_FLUSH_AT) flush();
}

bool captureRunning() { return capture.buffer != nullptr; }
bool captureWanted() { return capture.wanted; }
void setCaptureWanted(bool on) {
  capture.wanted = on;
  noticeCaptureChanged(on);
}

void captureConnectionStart(const std::string& path) {
  printHooksInstall();
  if (capture.wanted) startCapture(path);
}

void captureConnectionEnd() {
  stopCapture(true);
  // A lost connection ends a transparent-print job too, and prints what came:
  // a job left open would swallow the next connection's text up to its end code.
  endTransparentPrint(false);
}

void printHooksInstall() {
  terminalHooks.captureOn = captureRunning;
  terminalHooks.captureByte = captureByte;
  transparentPrintInstall();
}
