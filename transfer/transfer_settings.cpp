#include "transfer/transfer_settings.h"

#include <cstring>

#include "shell/book_entry.h"
#include "shell/phone_entry.h"
#include "transfer/protocol_table.h"

TransferSettings transferSettingsDefault() {
  TransferSettings s{};
  s.maxErrors = DEFAULT_MAX_ERRORS;
  s.kermitPacketSize = KERMIT_PACKET_DEFAULT;
  return s;
}

static int maxErrorsOf(int64_t value) {
  // 0 means "not set"; a negative or huge value from a damaged file gets the default too.
  return (value <= 0 || value > 0x7FFF) ? DEFAULT_MAX_ERRORS : static_cast<int>(value);
}

static int packetSizeOf(int64_t value) {
  if (value == 0) return KERMIT_PACKET_DEFAULT;
  return (value < KERMIT_PACKET_MIN || value > KERMIT_PACKET_MAX) ? KERMIT_PACKET_DEFAULT : static_cast<int>(value);
}

static void charsOf(const uint8_t* record, const FieldSpec& field, char out[3]) {
  recordText(record, field, out, 3);
}

template <typename Ns>
static TransferSettings read(const uint8_t* r) {
  TransferSettings s = transferSettingsDefault();
  s.protocol = clampedOr(recordInt(r, Ns::transferProtocol), 0, PROTOCOL_COUNT - 1, 0);
  s.maxErrors = maxErrorsOf(recordInt(r, Ns::maxErrors));
  s.keepBackup = recordInt(r, Ns::keepBackup) != 0;
  recordText(r, Ns::downloadDir, s.downloadDir, sizeof s.downloadDir);
  s.viewJpegRealtime = recordInt(r, Ns::viewJpegRealtime) != 0;
  s.stripLinefeed = recordInt(r, Ns::stripLinefeed) != 0;
  charsOf(r, Ns::transferStartChar, s.initiateChar);
  charsOf(r, Ns::transferEndChar, s.endChar);
  s.lineDelayMs = clampedTo(recordInt(r, Ns::lineDelay), 0, 65535);
  s.charDelayMs = clampedTo(recordInt(r, Ns::charDelay), 0, 65535);
  s.zmodemSkipExisting = recordInt(r, Ns::zmodemSkipExisting) != 0;
  s.zmodemCrashRecover = recordInt(r, Ns::zmodemCrashRecover) != 0;
  s.zmodemEscapeControl = recordInt(r, Ns::zmodemEscapeControl) != 0;
  s.zmodemSegmented = recordInt(r, Ns::zmodemSegmented) != 0;
  s.kermitEightbit = recordInt(r, Ns::kermitEightbit) != 0;
  s.kermitPacketSize = packetSizeOf(recordInt(r, Ns::kermitPacketSize));
  s.flowControl = clampedOr(recordInt(r, Ns::flowControl), 0, 3, 0);
  return s;
}

namespace {
struct BookNs {
  static constexpr const FieldSpec& transferProtocol = bookField::transferProtocol;
  static constexpr const FieldSpec& maxErrors = bookField::maxErrors;
  static constexpr const FieldSpec& keepBackup = bookField::keepBackup;
  static constexpr const FieldSpec& downloadDir = bookField::downloadDir;
  static constexpr const FieldSpec& viewJpegRealtime = bookField::viewJpegRealtime;
  static constexpr const FieldSpec& stripLinefeed = bookField::stripLinefeed;
  static constexpr const FieldSpec& transferStartChar = bookField::transferStartChar;
  static constexpr const FieldSpec& transferEndChar = bookField::transferEndChar;
  static constexpr const FieldSpec& lineDelay = bookField::lineDelay;
  static constexpr const FieldSpec& charDelay = bookField::charDelay;
  static constexpr const FieldSpec& zmodemSkipExisting = bookField::zmodemSkipExisting;
  static constexpr const FieldSpec& zmodemCrashRecover = bookField::zmodemCrashRecover;
  static constexpr const FieldSpec& zmodemEscapeControl = bookField::zmodemEscapeControl;
  static constexpr const FieldSpec& zmodemSegmented = bookField::zmodemSegmented;
  static constexpr const FieldSpec& kermitEightbit = bookField::kermitEightbit;
  static constexpr const FieldSpec& kermitPacketSize = bookField::kermitPacketSize;
  static constexpr const FieldSpec& flowControl = bookField::flowControl;
};
struct PhoneNs {
  static constexpr const FieldSpec& transferProtocol = phoneField::transferProtocol;
  static constexpr const FieldSpec& maxErrors = phoneField::maxErrors;
  static constexpr const FieldSpec& keepBackup = phoneField::keepBackup;
  static constexpr const FieldSpec& downloadDir = phoneField::downloadDir;
  static constexpr const FieldSpec& viewJpegRealtime = phoneField::viewJpegRealtime;
  static constexpr const FieldSpec& stripLinefeed = phoneField::stripLinefeed;
  static constexpr const FieldSpec& transferStartChar = phoneField::transferStartChar;
  static constexpr const FieldSpec& transferEndChar = phoneField::transferEndChar;
  static constexpr const FieldSpec& lineDelay = phoneField::lineDelay;
  static constexpr const FieldSpec& charDelay = phoneField::charDelay;
  static constexpr const FieldSpec& zmodemSkipExisting = phoneField::zmodemSkipExisting;
  static constexpr const FieldSpec& zmodemCrashRecover = phoneField::zmodemCrashRecover;
  static constexpr const FieldSpec& zmodemEscapeControl = phoneField::zmodemEscapeControl;
  static constexpr const FieldSpec& zmodemSegmented = phoneField::zmodemSegmented;
  static constexpr const FieldSpec& kermitEightbit = phoneField::kermitEightbit;
  static constexpr const FieldSpec& kermitPacketSize = phoneField::kermitPacketSize;
  static constexpr const FieldSpec& flowControl = phoneField::flowControl;
};
}  // namespace

TransferSettings transferSettingsFromBook(const BookEntry& entry) { return read<BookNs>(entry.bytes); }
TransferSettings transferSettingsFromPhone(const PhoneEntry& entry) { return read<PhoneNs>(entry.bytes); }

int caretByte(const char* field) {
  if (!field || !field[0]) return -1;
  if (field[0] == '^' && field[1]) return (static_cast<unsigned char>(field[1]) - 64) & 0xFF;
  return static_cast<unsigned char>(field[0]);
}
