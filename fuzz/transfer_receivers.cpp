// Arbitrary bytes from a remote sender into our block receivers (XMODEM with
// sum, CRC and 1K, YMODEM batch, YMODEM-G), with and without Telnet framing:
// every run ends within the time-out rules, and nothing is written outside
// the download folder.
//
// Input: a protocol byte (1 + b % 5), a flag byte (bit 0 keep backup, bit 1
// Telnet, bits 2-4 the maximum number of errors), then steps: a byte below
// 0xF0 puts the next (b % 64) + 1 bytes on the line, 0xF0..0xFF lets
// (b - 0xEF) * 4 seconds pass.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/pump.h"
#include "terminal/options.h"
#include "shell/pump_posix.h"
#include "terminal/link.h"
#include "tests/support/fault_line.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"

namespace {
std::string root, down;

// The line: bytes the steps put on it wait here; what the receiver writes is dropped.
std::string waiting;
int lineReadOp(uint8_t* buffer, int count) {
  int n = static_cast<int>(waiting.size()) < count ? static_cast<int>(waiting.size()) : count;
  std::memcpy(buffer, waiting.data(), static_cast<size_t>(n));
  waiting.erase(0, static_cast<size_t>(n));
  return n;
}
int lineWriteOp(const uint8_t*, int) { return 0; }
int linePollOp(int* in, int* out) {
  if (in) *in = static_cast<int>(waiting.size());
  if (out) *out = 0;
  return 0;
}
int linePurgeOp(int which) {
  if (which == 0) waiting.clear();
  return 0;
}
const LinkOps fuzzLine = {lineReadOp, lineWriteOp, linePollOp, linePurgeOp, nullptr, nullptr, nullptr, true, nullptr};

void emptyFolder(const std::string& dir, bool expectOnlyDown) {
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (expectOnlyDown) {
      if (name != "down") {
        std::fprintf(stderr, "written outside the download folder: %s\n", name.c_str());
        std::abort();
      }
      continue;
    }
    std::string path = dir + "/" + name;
    if (std::remove(path.c_str()) != 0) rmdir(path.c_str());
  }
  closedir(d);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  if (root.empty()) {
    char tmpl[] = "/tmp/fuzz-transferXXXXXX";
    root = mkdtemp(tmpl);
    down = root + "/down";
    mkdir(down.c_str(), 0755);
  }
  int protocol = 1 + data[0] % 5;
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = protocol;
  settings.keepBackup = data[1] & 1;
  settings.maxErrors = 1 + ((data[1] >> 2) & 7);
  std::snprintf(settings.downloadDir, sizeof settings.downloadDir, "%s", down.c_str());
  terminalOptions.telnet = (data[1] & 2) != 0;

  clockUseManual(1000);
  waiting.clear();
  linkAttach(&fuzzLine);
  static TransferState rx;
  transferBegin(rx, settings);
  transferSelect(&rx);
  std::snprintf(rx.localPath, sizeof rx.localPath, "%s/x.bin", down.c_str());
  fileCreate(rx.localPath);

  size_t at = 2;
  int turns = 0;
  pumpSetHook([&]() {
    if (++turns > 20000) {
      std::fprintf(stderr, "the receive did not end\n");
      std::abort();
    }
    if (at >= size) return 0;
    uint8_t step = data[at++];
    if (step >= 0xF0) {
      clockAdvance(static_cast<uint32_t>(step - 0xEF) * 4000u);
      return 0;
    }
    size_t n = static_cast<size_t>(step % 64) + 1;
    if (n > size - at) n = size - at;
    waiting.append(reinterpret_cast<const char*>(data + at), n);
    at += n;
    return 0;
  });
  int r = receiveBegin();
  if (r >= 0) r = receiveRun();
  pumpSetHook(nullptr);
  transferSelect(nullptr);
  terminalOptions.telnet = false;
  if (r != STEP_COMPLETE && r >= 0) std::abort();
  emptyFolder(root, true);
  emptyFolder(down, false);
  return 0;
}
