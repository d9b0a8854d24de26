#include "dialup/modem_commands.h"

#include "dialup/modem_command.h"
#include "shell/pump.h"
#include "terminal/link.h"

namespace {
constexpr uint32_t PAUSE_MS = 1000;
}

int modemSend(const std::string& text, bool pauses) {
  std::string bytes;
  // The pauses are taken while the string is prepared, before it is written.
  for (int n = prepareModemCommand(text.c_str(), pauses, bytes); n > 0; --n) clockSleep(PAUSE_MS);
  if (bytes.empty()) return 0;
  return linkWrite(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
}

std::string dialCleanNumber(const std::string& number) {
  std::string out;
  for (char c : number)
    if (c != '(' && c != ')' && c != '-' && c != ' ') out += c;
  return out;
}

std::string dialCommand(const PhoneEntry& entry, const ModemProfile& profile) {
  const int type = phoneType(entry);
  const std::string number = dialCleanNumber(recordText(entry.bytes, phoneField::phoneNumber));
  if (type == 2 || number.empty()) return std::string();
  std::string command = profileSlot(profile, SLOT_DIAL_PREFIX);
  command += type == 1 ? "T " : "P ";
  const std::string prefix = recordText(entry.bytes, phoneField::phonePrefix);
  if (!prefix.empty()) command += prefix + ",";
  command += number;
  command += profileSlot(profile, SLOT_DIAL_SUFFIX);
  return command;
}
