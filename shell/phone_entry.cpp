#include "shell/phone_entry.h"

#include "shell/message_ids.h"

using namespace phoneField;

const FieldSpec phoneFieldTable[] = {
#define PHONE_LIST(n, o, s, k) LIST_FIELD(PHONE_ENTRY_SIZE, n, o, s, k)
    PHONE_ENTRY_FIELDS(PHONE_LIST)
#undef PHONE_LIST
};
const int phoneFieldCount = sizeof phoneFieldTable / sizeof phoneFieldTable[0];

const BookKind PHONE_BOOK = {".phn", ".PHN", PHONE_ENTRY_SIZE, phoneField::name};

PhoneEntry phoneDefaultEntry() {
  PhoneEntry e{};
  recordSetText(e.bytes, name, "Default");
  recordSetText(e.bytes, phoneNumber, "0000");
  return e;
}

int phoneLoadTemplate(PhoneEntry& entry) {
  PhoneEntry defaults = phoneDefaultEntry();
  return entryLoadTemplate(PHONE_BOOK, PHONE_TEMPLATE_FILE, defaults.bytes, entry.bytes);
}

int phoneLoadEntry(const char* entryName, PhoneEntry& entry) {
  return entryFileRead(PHONE_BOOK, entryName, entry.bytes);
}

int phoneSaveEntry(const PhoneEntry& entry) {
  return entrySave(PHONE_BOOK, entry.bytes, TXT_ENTRY_CREATE_FAILED);
}

int phonePortIndex(const PhoneEntry& e) { return clampedOr(recordInt(e.bytes, portIndex), 0, 7, 0); }
int phoneSpeedIndex(const PhoneEntry& e) { return clampedOr(recordInt(e.bytes, speedIndex), 0, 11, 0); }
int phoneMakerIndex(const PhoneEntry& e) { return clampedOr(recordInt(e.bytes, makerIndex), 0, 15, 15); }
int phoneType(const PhoneEntry& e) { return clampedOr(recordInt(e.bytes, phoneField::phoneType), 0, 2, 2); }
int phoneEmulation(const PhoneEntry& e) { return clampedOr(recordInt(e.bytes, emulation), 1, 10, 4); }
int phoneTerminalRows(const PhoneEntry& e) {
  int64_t rows = recordInt(e.bytes, terminalHeight);
  return rows == 0 ? 24 : clampedTo(rows, 24, 99);
}
int phoneTransferProtocol(const PhoneEntry& e) { return clampedOr(recordInt(e.bytes, transferProtocol), 0, 7, 0); }
int phoneTimeoutSeconds(const PhoneEntry& e) {
  int64_t seconds = recordInt(e.bytes, timeout);
  return seconds == 0 ? 60 : static_cast<int>(seconds);
}
