#include "dialup/modem_commands.h"

#include "shell/pump.h"
#include "terminal/link.h"

namespace {
constexpr uint32_t PAUSE_MS = 1000;
}

std::string modemCommandBytes(const std::string& text, bool pauses) {
  std::string out;
  int tildes = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (pauses && c == '~') {
      // Only every third one waits: "~~~" is one second.
      if (++tildes % 3 == 0) clockSleep(PAUSE_MS);
      continue;
    }
    if (c == '^' && i + 1 < text.size()) {
      out += static_cast<char>(static_cast<unsigned char>(text[++i]) - 64);
      continue;
    }
    out += c;
  }
  return out;
}

int modemSend(const std::string& text, bool pauses) {
  std::string bytes = modemCommandBytes(text, pauses);
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

int modemReplyClass(const ModemProfile& profile, const std::string& line) {
  for (int c = REPLY_BUSY; c <= REPLY_CONNECT; ++c)
    if (line.find(profileSlot(profile, SLOT_RESULT_BUSY + c)) != std::string::npos) return c;
  return -1;
}
