// What the transfer receivers' fuzz targets share: a download folder with the
// check that nothing was written beside it, the in-memory line the input is
// put on, and one receive run on the manual clock that must end.
#pragma once
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "terminal/options.h"
#include "tests/support/fault_line.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"

// The folder that holds only "down", the download folder, made once per process.
inline const std::string& fuzzRoot() {
  static std::string root;
  if (root.empty()) {
    char pattern[] = "/tmp/fuzz-receiverXXXXXX";
    root = mkdtemp(pattern);
    mkdir((root + "/down").c_str(), 0755);
  }
  return root;
}
inline std::string fuzzDownloadDir() { return fuzzRoot() + "/down"; }

// Aborts when anything but "down" appears in the root; empties "down".
inline void fuzzSweep(const std::string& dir, bool onlyDown) {
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

// One plain step of the input: a byte 0xF0..0xFF lets (b - 0xEF) * 4 seconds
// pass, any other puts the next (b % 64) * unit + 1 bytes on the line.
// Returns the input bytes used.
inline size_t fuzzPlainStep(const uint8_t* data, size_t left, size_t unit) {
  uint8_t b = data[0];
  if (b >= 0xF0) {
    clockAdvance(static_cast<uint32_t>(b - 0xEF) * 4000u);
    return 1;
  }
  size_t n = static_cast<size_t>(b % 64) * unit + 1;
  if (n > left - 1) n = left - 1;
  faultLineInject(0, data + 1, static_cast<int>(n));
  return n + 1;
}

// Runs one receive with the settings (their download folder set here), taking
// a step of the input at every pump turn; aborts when it does not end. XMODEM
// receives into localName when one is given. Returns the receive's result.
inline int fuzzReceive(TransferSettings settings, bool telnet, const uint8_t* data, size_t size, size_t at,
                       const std::function<size_t(const uint8_t*, size_t)>& step, const char* localName = nullptr) {
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
