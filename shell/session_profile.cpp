#include "shell/session_profile.h"

#include <cstdio>

#include "shell/book_entry.h"
#include "shell/bounded_copy.h"
#include "shell/phone_entry.h"
#include "terminal/colours.h"

TransferSettings transferSettingsDefault() {
  TransferSettings s{};
  s.maxErrors = DEFAULT_MAX_ERRORS;
  s.kermitPacketSize = KERMIT_PACKET_DEFAULT;
  return s;
}

uint32_t colourFromField(int64_t value, const uint32_t palette[16], uint32_t fallback) {
  if (value >= 1 && value <= 16) return palette[value - 1];
  if (value < 0x8000 || value > 0xFFFF) return fallback;
  // Five bits back to eight: the top bits repeat so 31 gives 255.
  auto eight = [](int64_t c) { return static_cast<uint32_t>(c << 3 | c >> 2); };
  return eight(value & 31) | eight(value >> 5 & 31) << 8 | eight(value >> 10 & 31) << 16;
}

namespace {
int maxErrorsOf(int64_t value) {
  // 0 means "not set"; a negative or huge value from a damaged file gets the default too.
  return (value <= 0 || value > 0x7FFF) ? DEFAULT_MAX_ERRORS : static_cast<int>(value);
}

int packetSizeOf(int64_t value) {
  if (value == 0) return KERMIT_PACKET_DEFAULT;
  return (value < KERMIT_PACKET_MIN || value > KERMIT_PACKET_MAX) ? KERMIT_PACKET_DEFAULT : static_cast<int>(value);
}

bool flag(const uint8_t* r, const FieldSpec& field) { return recordInt(r, field) != 0; }

// The fields both records have, under the same names in their field lists.
template <typename Fields>
void readCommon(const uint8_t* r, SessionProfile& p) {
  recordText(r, Fields::name, p.name, sizeof p.name);
  p.emulation = clampedOr(recordInt(r, Fields::emulation), 1, 10, 4);
  int64_t rows = recordInt(r, Fields::terminalHeight);
  p.rows = rows == 0 ? 24 : clampedTo(rows, 24, 99);
  p.columns = recordInt(r, Fields::terminalWidth) == 1 ? 132 : 80;
  p.resizeMode = clampedOr(recordInt(r, Fields::resizeMode), 0, 2, 1);
  p.autowrap = flag(r, Fields::autowrap);
  p.keypadApplication = flag(r, Fields::keypadApplication);
  p.inboundCrLf = flag(r, Fields::crInbound);
  p.outboundCrLf = flag(r, Fields::crOutbound);
  p.localEcho = flag(r, Fields::localEcho);
  p.stripHighBit = flag(r, Fields::stripHighBit);
  p.displayControls = flag(r, Fields::displayControls);
  p.backspaceDelete = flag(r, Fields::backspaceDelete);
  p.fontHeight = static_cast<int>(recordInt(r, Fields::fontHeight));
  if (p.fontHeight == 0) p.fontHeight = FONT_HEIGHT_9PT;
  p.fontWidth = static_cast<int>(recordInt(r, Fields::fontWidth));
  p.fontWeight = static_cast<int>(recordInt(r, Fields::fontWeight));
  p.fontCharSet = static_cast<int>(recordInt(r, Fields::fontCharSet));
  recordText(r, Fields::fontFace, p.fontFace, sizeof p.fontFace);
  if (!p.fontFace[0]) snprintf(p.fontFace, sizeof p.fontFace, "courier");
  p.sessionCapture = flag(r, Fields::sessionCapture);
  recordText(r, Fields::sessionDir, p.sessionDir, sizeof p.sessionDir);

  TransferSettings& s = p.transfer;
  s = transferSettingsDefault();
  s.protocol = clampedOr(recordInt(r, Fields::transferProtocol), 0, TRANSFER_PROTOCOLS - 1, 0);
  s.maxErrors = maxErrorsOf(recordInt(r, Fields::maxErrors));
  s.keepBackup = flag(r, Fields::keepBackup);
  recordText(r, Fields::downloadDir, s.downloadDir, sizeof s.downloadDir);
  s.viewJpegRealtime = flag(r, Fields::viewJpegRealtime);
  s.stripLinefeed = flag(r, Fields::stripLinefeed);
  recordText(r, Fields::transferStartChar, s.initiateChar, sizeof s.initiateChar);
  recordText(r, Fields::transferEndChar, s.endChar, sizeof s.endChar);
  s.lineDelayMs = clampedTo(recordInt(r, Fields::lineDelay), 0, 65535);
  s.charDelayMs = clampedTo(recordInt(r, Fields::charDelay), 0, 65535);
  s.zmodemSkipExisting = flag(r, Fields::zmodemSkipExisting);
  s.zmodemCrashRecover = flag(r, Fields::zmodemCrashRecover);
  s.zmodemEscapeControl = flag(r, Fields::zmodemEscapeControl);
  s.zmodemSegmented = flag(r, Fields::zmodemSegmented);
  s.kermitEightbit = flag(r, Fields::kermitEightbit);
  s.kermitPacketSize = packetSizeOf(recordInt(r, Fields::kermitPacketSize));
  s.flowControl = clampedOr(recordInt(r, Fields::flowControl), 0, 3, 0);
}

#define FIELD_ALIAS(ns, n) static constexpr const FieldSpec& n = ns::n;
#define COMMON_FIELDS(ns, X)                                                                                       \
  X(ns, name) X(ns, emulation) X(ns, terminalHeight) X(ns, terminalWidth) X(ns, resizeMode) X(ns, autowrap)        \
  X(ns, keypadApplication) X(ns, crInbound) X(ns, crOutbound) X(ns, localEcho) X(ns, stripHighBit)                 \
  X(ns, displayControls) X(ns, backspaceDelete) X(ns, fontHeight) X(ns, fontWidth) X(ns, fontWeight)               \
  X(ns, fontCharSet) X(ns, fontFace) X(ns, sessionCapture) X(ns, sessionDir) X(ns, transferProtocol)               \
  X(ns, maxErrors) X(ns, keepBackup) X(ns, downloadDir) X(ns, viewJpegRealtime) X(ns, stripLinefeed)               \
  X(ns, transferStartChar) X(ns, transferEndChar) X(ns, lineDelay) X(ns, charDelay) X(ns, zmodemSkipExisting)      \
  X(ns, zmodemCrashRecover) X(ns, zmodemEscapeControl) X(ns, zmodemSegmented) X(ns, kermitEightbit)                \
  X(ns, kermitPacketSize) X(ns, flowControl)

struct BookFields {
  COMMON_FIELDS(bookField, FIELD_ALIAS)
};
struct PhoneFields {
  COMMON_FIELDS(phoneField, FIELD_ALIAS)
};
}  // namespace

SessionProfile profileFromBook(const BookEntry& entry) {
  using namespace bookField;
  const uint8_t* r = entry.bytes;
  SessionProfile p{};
  p.kind = PROFILE_TELNET;
  readCommon<BookFields>(r, p);
  recordText(r, address, p.address, sizeof p.address);
  p.port = clampedOr(recordInt(r, port), 0, 65535, 0);
  p.rlogin = clampedOr(recordInt(r, protocol), 0, 1, 0) == 1;
  p.useFirewall = flag(r, useFirewall);
  p.binaryMode = flag(r, binaryMode);
  recordText(r, terminalId, p.terminalId, sizeof p.terminalId);
  recordText(r, userName, p.userName, sizeof p.userName);
  p.line = lineSettingsClamped(0, static_cast<int>(recordInt(r, bookField::lineSpeed)), 0, 0, 0, p.transfer.flowControl);
  p.phoneType = PHONE_TYPE_NONE;
  p.textColour = colourFromField(recordInt(r, colour1), defaultPalette, defaultPalette[7]);
  p.backgroundColour = colourFromField(recordInt(r, colour2), defaultPalette, defaultPalette[0]);
  return p;
}

SessionProfile profileFromPhone(const PhoneEntry& entry) {
  using namespace phoneField;
  const uint8_t* r = entry.bytes;
  SessionProfile p{};
  p.kind = PROFILE_PHONE;
  readCommon<PhoneFields>(r, p);
  recordText(r, phoneNumber, p.address, sizeof p.address);
  p.line = lineSettingsClamped(static_cast<int>(recordInt(r, portIndex)), static_cast<int>(recordInt(r, speedIndex)),
                               static_cast<int>(recordInt(r, dataBits)), static_cast<int>(recordInt(r, stopBits)),
                               static_cast<int>(recordInt(r, parity)), p.transfer.flowControl);
  p.phoneType = clampedOr(recordInt(r, phoneField::phoneType), 0, 2, PHONE_TYPE_NONE);
  p.autoAnswer = flag(r, autoAnswer);
  p.textColour = colourFromField(recordInt(r, colour1), defaultPalette, defaultPalette[7]);
  p.backgroundColour = colourFromField(recordInt(r, colour2), defaultPalette, defaultPalette[0]);
  return p;
}
