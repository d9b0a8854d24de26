#include "dialup/phonebook.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "dialup/serial_connection.h"
#include "shell/book_files.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/modem_profile.h"
#include "shell/session_profile.h"

using namespace phoneField;

namespace {
bool lessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return tolower(static_cast<unsigned char>(x)) < tolower(static_cast<unsigned char>(y));
  });
}

int refuse(int text) {
  messageBeep();
  messageBox(text, nullptr, MSG_OK | MSG_ICONINFORMATION);
  return -1;
}

std::string cut(const std::string& text, int max) {
  return text.size() > static_cast<size_t>(max) ? text.substr(0, max) : text;
}
}  // namespace

std::vector<std::string> phonebookNames(bool* stopped) {
  std::vector<std::string> names = entryNames(PHONE_BOOK, stopped);
  std::stable_sort(names.begin(), names.end(), lessNoCase);
  return names;
}

std::string phoneDescription(const PhoneEntry& e) {
  const uint8_t* r = e.bytes;
  LineSettings line = lineSettingsClamped(static_cast<int>(recordInt(r, portIndex)),
                                          static_cast<int>(recordInt(r, speedIndex)),
                                          static_cast<int>(recordInt(r, dataBits)),
                                          static_cast<int>(recordInt(r, stopBits)),
                                          static_cast<int>(recordInt(r, parity)), 0);
  char text[64];
  serialLineText(line, text, sizeof text);
  return text;
}

std::string phoneDialCharacters(const std::string& profileValid) {
  return profileValid.empty() ? std::string("0123456789*#,WwPpTt!@;") : profileValid;
}

int phoneValidate(const PhoneEntry& e, const std::string& dialCharacters) {
  const uint8_t* r = e.bytes;
  std::string number = recordText(r, phoneNumber);
  int type = ::phoneType(e);
  if (recordText(r, name).empty()) return refuse(TXT_NO_SERVICE_NAME);
  LineSettings line = lineSettingsClamped(0, 0, static_cast<int>(recordInt(r, dataBits)), 0,
                                          static_cast<int>(recordInt(r, parity)), 0);
  if (line.dataBitsIndex == 0 && line.parity != 0) return refuse(TXT_PHONE_DATA_PARITY);
  if (type != PHONE_TYPE_NONE && number.empty()) return refuse(TXT_PHONE_NUMBER_NEEDED);
  if (type == PHONE_TYPE_NONE && !number.empty()) return refuse(TXT_PHONE_TYPE_INVALID);
  for (char c : number)
    if (dialCharacters.find(c) == std::string::npos) return refuse(TXT_PHONE_NUMBER_INVALID);
  return 0;
}

int phoneValidateWithProfile(const PhoneEntry& e) {
  modemProfileLoad(phoneMakerIndex(e), currentProfile);
  return phoneValidate(e, phoneDialCharacters(profileSlot(currentProfile, SLOT_VALID_DIAL)));
}

ServiceValues serviceFromRecord(const uint8_t* r) {
  PhoneEntry e;
  memcpy(e.bytes, r, sizeof e.bytes);
  ServiceValues v;
  v.name = recordText(r, name);
  v.phone = recordText(r, phoneNumber);
  v.prefix = recordText(r, phonePrefix);
  v.phoneType = ::phoneType(e);
  LineSettings line = lineSettingsClamped(phonePortIndex(e), phoneSpeedIndex(e),
                                          static_cast<int>(recordInt(r, dataBits)),
                                          static_cast<int>(recordInt(r, stopBits)),
                                          static_cast<int>(recordInt(r, parity)), 0);
  v.parity = line.parity;
  v.stopBits = line.stopBitsIndex;
  v.dataBits = line.dataBitsIndex;
  v.speedIndex = line.speedIndex;
  v.portIndex = line.portIndex;
  return v;
}

int serviceApply(uint8_t* r, bool newEntry, const ServiceValues& v, const std::string& dialCharacters) {
  LineSettings line = lineSettingsClamped(v.portIndex, v.speedIndex, v.dataBits, v.stopBits, v.parity, 0);
  recordSetInt(r, portIndex, line.portIndex);
  recordSetInt(r, speedIndex, line.speedIndex);
  recordSetInt(r, dataBits, line.dataBitsIndex);
  recordSetInt(r, stopBits, line.stopBitsIndex);
  recordSetInt(r, parity, line.parity);
  recordSetInt(r, phoneField::phoneType, v.phoneType >= 0 && v.phoneType <= 2 ? v.phoneType : 2);
  if (newEntry) recordSetText(r, name, cut(v.name, PHONE_NAME_MAX).c_str());
  recordSetText(r, phoneNumber, cut(v.phone, PHONE_NUMBER_MAX).c_str());
  PhoneEntry e;
  memcpy(e.bytes, r, sizeof e.bytes);
  if (phoneValidate(e, dialCharacters) != 0) return -1;
  // A name that cannot be a file name would only fail at the save, or reach
  // outside the program directory: refuse it here as the save would.
  if (!isValidEntryName(recordText(r, name).c_str())) {
    messageBeep();
    messageBoxTitled(TXT_ENTRY_CREATE_FAILED, nullptr, SAVE_ERROR_TITLE, MSG_OK | MSG_ICONINFORMATION);
    return -1;
  }
  recordSetText(r, phonePrefix, cut(v.prefix, PHONE_PREFIX_MAX).c_str());
  return 0;
}

int dialOptionValue(const std::string& typed, int old, bool* refused) {
  *refused = true;
  if (typed.empty() || typed.size() > 3) return old;
  int value = 0;
  for (char c : typed) {
    if (!isdigit(static_cast<unsigned char>(c))) return old;
    value = value * 10 + (c - '0');
  }
  if (value >= 256) return old;
  *refused = false;
  return value;
}

std::vector<uint8_t> batchDialBlock(const std::vector<std::string>& names) {
  std::vector<uint8_t> block(names.size() * BATCH_NAME_SIZE, 0);
  for (size_t i = 0; i < names.size(); ++i)
    memcpy(&block[i * BATCH_NAME_SIZE], names[i].data(), std::min<size_t>(names[i].size(), BATCH_NAME_SIZE - 1));
  return block;
}
