// Arbitrary bytes from a remote sender into our ZMODEM receiver, with and
// without Telnet framing, control escaping, segmented streaming, crash
// recovery and skipping: every run ends within the time-out rules, and
// nothing is written outside the download folder.
//
// Input: a flag byte (bit 0 keep backup, bit 1 Telnet, bit 2 escape control,
// bit 3 segmented, bit 4 crash recover, bit 5 skip existing), a byte whose
// low three bits are the maximum number of errors, then steps: a byte below
// 0xF0 puts the next (b % 64) * 16 + 1 bytes on the line, 0xF0..0xFF lets
// (b - 0xEF) * 4 seconds pass.
#include "fuzz/receiver_harness.h"
#include "transfer/protocol_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = PROTOCOL_ZMODEM;
  settings.keepBackup = data[0] & 1;
  settings.zmodemEscapeControl = (data[0] & 4) != 0;
  settings.zmodemSegmented = (data[0] & 8) != 0;
  settings.zmodemCrashRecover = (data[0] & 16) != 0;
  settings.zmodemSkipExisting = (data[0] & 32) != 0;
  settings.maxErrors = 1 + (data[1] & 7);
  int r = fuzzReceive(settings, (data[0] & 2) != 0, data, size, 2,
                      [](const uint8_t* d, size_t left) { return fuzzPlainStep(d, left, 16); });
  if (r != STEP_COMPLETE && r >= 0) std::abort();
  return 0;
}
