#include "terminal/transparent_print.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

#include "terminal/capture.h"
#include "terminal/hooks.h"
#include "terminal/notice.h"

namespace {

enum EndMatch { MATCH_NONE, MATCH_ESC, MATCH_BRACKET, MATCH_FOUR };

struct Spool {
  bool enabled = false;
  std::string path = "temp.txt";
  uint8_t* buffer = nullptr;  // allocated while a job runs
  int fill = 0;
  EndMatch match = MATCH_NONE;
  bool failed = false;        // a write failed: the job is dropped at its end
};

Spool spool;

void writeHeld() {
  if (spool.fill == 0) return;
  if (!spool.failed) {
    std::FILE* f = std::fopen(spool.path.c_str(), "ab");
    bool ok = f && std::fwrite(spool.buffer, 1, spool.fill, f) == static_cast<size_t>(spool.fill);
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) {
      spool.failed = true;
      noticeShow(TEXT_LOG_OPEN_ERROR, "Message");
    }
  }
  spool.fill = 0;
}

EndMatch nextMatch(EndMatch m, uint8_t b) {
  if (b == 0x1B) return MATCH_ESC;
  if (m == MATCH_ESC && b == '[') return MATCH_BRACKET;
  if (m == MATCH_BRACKET && b == '4') return MATCH_FOUR;
  return MATCH_NONE;
}

void stopFromSequence() {
  // Only a job that is running ends; the sequence alone does nothing.
  if (spool.buffer) endTransparentPrint(false);
}

bool settingOn() { return spool.enabled; }

}  // namespace

void setTransparentPrintEnabled(bool on) {
  spool.enabled = on;
  noticeTransparentChanged(on);
}
bool transparentPrintEnabled() { return spool.enabled; }
void setSpoolPath(const std::string& path) { spool.path = path; }
const std::string& spoolPath() { return spool.path; }

void startTransparentPrint() {
  if (spool.buffer) return;
  std::FILE* f = std::fopen(spool.path.c_str(), "wb");
  if (!f) {
    noticeShow(TEXT_LOG_OPEN_ERROR, "Message");
    return;
  }
  std::fclose(f);
  spool.buffer = new (std::nothrow) uint8_t[SPOOL_BUFFER_SIZE];
  if (!spool.buffer) return;
  spool.fill = 0;
  spool.match = MATCH_NONE;
  spool.failed = false;
}

void transparentPrintByte(uint8_t b) {
  if (!spool.buffer) return;
  spool.buffer[spool.fill++] = b;
  if (spool.fill >= SPOOL_CHUNK) writeHeld();
  if (spool.match == MATCH_FOUR && b == 'i') {
    endTransparentPrint(true);
    return;
  }
  spool.match = nextMatch(spool.match, b);
}

void endTransparentPrint(bool matched) {
  if (!spool.buffer) return;
  writeHeld();
  delete[] spool.buffer;
  spool.buffer = nullptr;
  if (spool.failed) return;
  std::error_code ec;
  if (matched) {
    auto size = std::filesystem::file_size(spool.path, ec);
    if (!ec && size >= 4) std::filesystem::resize_file(spool.path, size - 4, ec);
  }
  printSpoolFile(spool.path);
}

bool transparentPrinting() { return spool.buffer != nullptr; }

void transparentPrintInstall() {
  terminalHooks.transparentPrinting = transparentPrinting;
  terminalHooks.transparentPrintByte = transparentPrintByte;
  terminalHooks.transparentPrintSetting = settingOn;
  terminalHooks.transparentPrintStart = startTransparentPrint;
  terminalHooks.transparentPrintStop = stopFromSequence;
}
