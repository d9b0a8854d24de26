// Whatever a modem sends while it is dialed: the reply line stays within its
// bound, the machine's state and counts stay sound, and the timers may fire
// in any order between the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dialup/dial_machine.h"
#include "dialup/dial_ui_posix.h"
#include "shell/pump_posix.h"

namespace {
ModemProfile profileOfInput(const uint8_t* data, size_t size) {
  ModemProfile p{};
  const char* texts[] = {"BUSY", "NO DIALTONE", "NO CARRIER", "RING", "NO ANSWER", "ERROR", "OK", "CONNECT"};
  for (int i = 0; i < 8; ++i) profileSetSlot(p, SLOT_RESULT_BUSY + i, texts[i]);
  // An input that starts with 0xFF brings its own result texts (some empty).
  if (size > 1 && data[0] == 0xFF) profileSetSlot(p, SLOT_RESULT_OK, "");
  return p;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  clockUseManual();
  dialUiTerminal().clear();
  static PhoneEntry entry;
  entry = PhoneEntry{};
  recordSetText(entry.bytes, phoneField::phoneNumber, "5551234");
  recordSetInt(entry.bytes, phoneField::phoneType, 1);
  recordSetInt(entry.bytes, phoneField::retryCount, 3);
  static ModemProfile profile;
  profile = profileOfInput(data, size);
  for (DialState start : {DialState::Reset, DialState::Init, DialState::Dialing}) {
    DialMachine m;
    m.entry = &entry;
    m.profile = &profile;
    m.state = start;
    m.attemptsLeft = 3;
    for (size_t i = 0; i < size; ++i) {
      dialByte(m, data[i]);
      // Control bytes stand for the timers firing and the carrier rising.
      if (data[i] == 0x01) dialTimer(m, DIAL_TIMER_NEXT);
      if (data[i] == 0x02) dialTimer(m, DIAL_TIMER_COUNTDOWN);
      if (data[i] == 0x03) dialTimer(m, DIAL_TIMER_WAITING);
      if (data[i] == 0x04) dialModemStatus(m, 0x80);
      if (m.reply.size() > static_cast<size_t>(DIAL_REPLY_MAX) || m.attemptsLeft > 3 || m.countdown < 0) abort();
    }
  }
  return 0;
}
