// Arbitrary bytes from a remote sender into our block receivers (XMODEM with
// sum, CRC and 1K, YMODEM batch, YMODEM-G), with and without Telnet framing:
// every run ends within the time-out rules, and nothing is written outside
// the download folder.
//
// Input: a protocol byte (1 + b % 5), a flag byte (bit 0 keep backup, bit 1
// Telnet, bits 2-4 the maximum number of errors), then steps: a byte below
// 0xF0 puts the next (b % 64) + 1 bytes on the line, 0xF0..0xFF lets
// (b - 0xEF) * 4 seconds pass.
#include "fuzz/receiver_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = 1 + data[0] % 5;
  settings.keepBackup = data[1] & 1;
  settings.maxErrors = 1 + ((data[1] >> 2) & 7);
  int r = fuzzReceive(settings, (data[1] & 2) != 0, data, size, 2,
                      [](const uint8_t* d, size_t left) { return fuzzPlainStep(d, left, 1); }, "x.bin");
  if (r != STEP_COMPLETE && r >= 0) std::abort();
  return 0;
}
