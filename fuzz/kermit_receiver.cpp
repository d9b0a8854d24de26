// Any byte stream from a remote Kermit sender into our receiver, with whole
// packets mixed in so that the fuzzer gets past the send-init and the file
// header: every run ends within the time-out rules with success or an error
// code, and nothing is written outside the download folder.
//
// Input: a flag byte (bit 0 keep backup, bit 1 eight-bit prefixing, bit 2
// Telnet, bits 3-5 the maximum number of errors), then steps: below 0xC0 the
// next (b % 64) + 1 bytes go on the line as they are; 0xC0..0xEF builds a
// packet of type (next byte), SEQ (next), check type 1 + b % 3, with the next
// (following byte) data bytes; 0xF0..0xFF lets (b - 0xEF) * 4 seconds pass.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "terminal/options.h"
#include "tests/support/fault_line.h"
#include "transfer/kermit_packet.h"
#include "transfer/protocol_table.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_state.h"

namespace {
std::string root, down;

void sweep(const std::string& dir, bool onlyDown) {
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (onlyDown && name != "down") {
      std::fprintf(stderr, "written outside the download folder: %s\n", name.c_str());
      std::abort();
    }
    if (!onlyDown) std::remove((dir + "/" + name).c_str());
  }
  closedir(d);
}

// Puts one step of the input on the line; returns the bytes it used.
size_t step(const uint8_t* data, size_t left) {
  uint8_t b = data[0];
  if (b >= 0xF0) {
    clockAdvance(static_cast<uint32_t>(b - 0xEF) * 4000u);
    return 1;
  }
  if (b < 0xC0) {
    size_t n = static_cast<size_t>(b % 64) + 1;
    if (n > left - 1) n = left - 1;
    faultLineInject(0, data + 1, static_cast<int>(n));
    return n + 1;
  }
  if (left < 4) return left;
  static const char types[] = "SFADZBENYX";
  char type = types[data[1] % 10];
  size_t n = data[3];
  if (n > left - 4) n = left - 4;
  static uint8_t wire[KERMIT_WIRE_MAX];
  int length = kermitBuildPacket(wire, type, data[2] % 64, data + 4, n, 1 + b % 3);
  if (length > 0) faultLineInject(0, wire, length);
  return n + 4;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  if (root.empty()) {
    char tmpl[] = "/tmp/fuzz-kermitXXXXXX";
    root = mkdtemp(tmpl);
    down = root + "/down";
    mkdir(down.c_str(), 0755);
  }
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = PROTOCOL_KERMIT;
  settings.keepBackup = data[0] & 1;
  settings.kermitEightbit = (data[0] & 2) != 0;
  settings.maxErrors = 1 + ((data[0] >> 3) & 7);
  std::snprintf(settings.downloadDir, sizeof settings.downloadDir, "%s", down.c_str());
  terminalOptions.telnet = (data[0] & 4) != 0;

  clockUseManual(1000);
  faultLineReset({}, {});
  faultLineAttach(1);
  static TransferState rx;
  transferBegin(rx, settings);
  transferSelect(&rx);

  size_t at = 1;
  int turns = 0;
  pumpSetHook([&]() {
    if (++turns > 20000) {
      std::fprintf(stderr, "the receive did not end\n");
      std::abort();
    }
    if (at < size) at += step(data + at, size - at);
    return 0;
  });
  int r = receiveBegin();
  if (r >= 0) r = receiveRun();
  pumpSetHook(nullptr);
  transferSelect(nullptr);
  terminalOptions.telnet = false;
  if (r != STEP_COMPLETE && (r >= 0 || transferErrorText(r)[0] == 0)) std::abort();
  sweep(root, true);
  sweep(down, false);
  return 0;
}
