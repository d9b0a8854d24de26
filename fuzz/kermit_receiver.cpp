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
#include "fuzz/receiver_harness.h"
#include "transfer/kermit_packet.h"
#include "transfer/protocol_table.h"

namespace {
// Puts one step of the input on the line; returns the bytes it used.
size_t step(const uint8_t* data, size_t left) {
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
  if (size < 1) return 0;
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = PROTOCOL_KERMIT;
  settings.keepBackup = data[0] & 1;
  settings.kermitEightbit = (data[0] & 2) != 0;
  settings.maxErrors = 1 + ((data[0] >> 3) & 7);
  int r = fuzzReceive(settings, (data[0] & 4) != 0, data, size, 1, step);
  if (r != STEP_COMPLETE && (r >= 0 || transferErrorText(r)[0] == 0)) std::abort();
  return 0;
}
