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
#include "fuzz/receiver_harness.h"
#include "transfer/kermit_packet.h"
#include "transfer/protocol_table.h"

namespace {
size_t kermitStep(const uint8_t* data, size_t left) {
  uint8_t b = data[0];
  if (b < 0xC0 || b >= 0xF0) return fuzzPlainStep(data, left, 1);
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
  std::function<size_t(const uint8_t*, size_t)> step = kermitStep;
  if (!kermit) step = [zmodem](const uint8_t* d, size_t left) { return fuzzPlainStep(d, left, zmodem ? 16 : 1); };
  int r = fuzzReceive(settings, (data[1] & 2) != 0, data, size, 3, step, zmodem || kermit ? nullptr : "x.bin");
  if (r != STEP_COMPLETE && (r >= 0 || (kermit && transferErrorText(r)[0] == 0))) std::abort();
  return 0;
}
