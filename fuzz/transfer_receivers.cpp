// Arbitrary bytes from a remote sender into each of our receivers (XMODEM
// with sum, CRC and 1K, YMODEM batch, YMODEM-G, ZMODEM, Kermit), with and
// without Telnet framing and each protocol's options: every run ends within
// the time-out rules with success or an error code, and nothing is written
// outside the download folder. For Kermit, whole packets are mixed in so
// that the fuzzer gets past the send-init and the file header.
//
// Input: a protocol byte (1 + b % 7), a flag byte (bit 0 keep backup, bit 1
// Telnet, bits 2-4 the maximum number of errors), an option byte (ZMODEM:
// bit 0 escape control, bit 1 segmented, bit 2 crash recover, bit 3 skip
// existing; Kermit: bit 0 eight-bit prefixing), then steps: 0xF0..0xFF lets
// (b - 0xEF) * 4 seconds pass; for Kermit 0xC0..0xEF builds a packet of type
// (next byte), SEQ (next), check type 1 + b % 3, with the next (following
// byte) data bytes; any other byte puts the next (b % 64) * unit + 1 bytes on
// the line as they are, the unit 16 for ZMODEM and 1 otherwise.
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
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"

namespace {
// The folder that holds only "down", the download folder, made once per process.
const std::string& fuzzRoot() {
  static std::string root;
  if (root.empty()) {
    char pattern[] = "/tmp/fuzz-receiverXXXXXX";
    root = mkdtemp(pattern);
    mkdir((root + "/down").c_str(), 0755);
  }
  return root;
}
std::string fuzzDownloadDir() { return fuzzRoot() + "/down"; }

// Aborts when anything but "down" appears in the root; empties "down".
void fuzzSweep(const std::string& dir, bool onlyDown) {
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

int protocol;  // of the run

// One step of the input (see the top); returns the input bytes used.
size_t step(const uint8_t* data, size_t left) {
  uint8_t b = data[0];
  if (b >= 0xF0) {
    clockAdvance(static_cast<uint32_t>(b - 0xEF) * 4000u);
    return 1;
  }
  if (protocol == PROTOCOL_KERMIT && b >= 0xC0) {
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
  size_t n = static_cast<size_t>(b % 64) * (protocol == PROTOCOL_ZMODEM ? 16 : 1) + 1;
  if (n > left - 1) n = left - 1;
  faultLineInject(0, data + 1, static_cast<int>(n));
  return n + 1;
}

// Runs one receive with the settings (their download folder set here), taking
// a step of the input at every pump turn; aborts when it does not end. The
// block protocols receive into localName when one is given. Returns the receive's result.
int fuzzReceive(TransferSettings settings, bool telnet, const uint8_t* data, size_t size, size_t at,
                const char* localName) {
  std::string down = fuzzDownloadDir();
  std::snprintf(settings.downloadDir, sizeof settings.downloadDir, "%s", down.c_str());
  terminalOptions.telnet = telnet;
  clockUseManual(1000);
  faultLineReset({}, {});
  faultLineAttach(1);
  static TransferState rx;
  transferBegin(rx, settings);
  transferSelect(&rx);
  if (localName) {
    std::snprintf(rx.localPath, sizeof rx.localPath, "%s/%s", down.c_str(), localName);
    fileCreate(rx.localPath);
  }
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
  fuzzSweep(fuzzRoot(), true);
  fuzzSweep(down, false);
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = 1 + data[0] % 7;
  settings.keepBackup = data[1] & 1;
  settings.maxErrors = 1 + ((data[1] >> 2) & 7);
  const bool zmodem = settings.protocol == PROTOCOL_ZMODEM, kermit = settings.protocol == PROTOCOL_KERMIT;
  settings.zmodemEscapeControl = zmodem && (data[2] & 1);
  settings.zmodemSegmented = zmodem && (data[2] & 2);
  settings.zmodemCrashRecover = zmodem && (data[2] & 4);
  settings.zmodemSkipExisting = zmodem && (data[2] & 8);
  settings.kermitEightbit = kermit && (data[2] & 1);
  protocol = settings.protocol;
  int r = fuzzReceive(settings, (data[1] & 2) != 0, data, size, 3, zmodem || kermit ? nullptr : "x.bin");
  if (r != STEP_COMPLETE && (r >= 0 || (kermit && transferErrorText(r)[0] == 0))) std::abort();
  return 0;
}
